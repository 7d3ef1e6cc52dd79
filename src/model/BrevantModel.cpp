// The model's state, its setters and the change notifications by which it reports values.
#include "BrevantModel.h"

#include "BrowserWindow.h"
#include "Clipboard.h"

#include <algorithm>
#include <utility>

namespace {

ModelServices &sharedServices()
{
    static ModelServices services;
    return services;
}

} // namespace

BrevantModel::BrevantModel(const ModelServices &services, QObject *parent)
    : QObject(parent)
    , mQueryTabIdentifier(QStringLiteral("Engineering"))
    , mCellReference(QStringLiteral("\t=ROUND(K2-J2,0)"))
    , mServices(services)
{
    mStepTimer.setSingleShot(true);
    // A coarse timer may fire up to 5% late, and the chain's four waits add up on every export.
    mStepTimer.setTimerType(Qt::PreciseTimer);
    connect(&mStepTimer, &QTimer::timeout, this, [this] {
        if (const std::function<void()> step = std::exchange(mPendingStep, {}))
            step();
    });
    loadQueryTextD();
}

BrevantModel::~BrevantModel() = default;

BrevantModel *BrevantModel::sharedInstance()
{
    // Created on first use during launch and deliberately never destroyed.
    static BrevantModel *const sharedTask = new BrevantModel(sharedServices());
    return sharedTask;
}

void BrevantModel::setSharedServices(const ModelServices &services)
{
    sharedServices() = services;
}

void BrevantModel::setSprintEndDate(const QDateTime &date)
{
    // An invalid QDateTime denotes no instant at all, so there is nothing to store.
    if (!date.isValid() || (mSprintEndDate && *mSprintEndDate == date))
        return;
    mSprintEndDate = date.toUTC();
    updateQueryParameters();
}

void BrevantModel::setSprintDurationDays(qint64 days)
{
    if (days == mSprintDurationDays)
        return;
    mSprintDurationDays = days;
    updateQueryParameters();
}

void BrevantModel::setSkipNoneFound(bool skip)
{
    mSkipNoneFound = skip;
}

void BrevantModel::setQueryTabIdentifier(const OptionalString &identifier)
{
    mQueryTabIdentifier = identifier;
    updateParameter(QStringLiteral("BV_queryTabIdentifier"),
                    identifier ? QVariant(*identifier) : QVariant());
    updateQueryParameters();
}

void BrevantModel::setEngineeringQueryName(const OptionalString &name)
{
    // A stored none never equals anything, not even a new none.
    if (mEngineeringQueryName && mEngineeringQueryName == name)
        return;
    mEngineeringQueryName = name;
    updateParameter(QStringLiteral("BV_engineeringQueryName"), name ? QVariant(*name) : QVariant());
    updateQueryParameters();
}

void BrevantModel::setIndividualQueryName(const OptionalString &name)
{
    if (mIndividualQueryName && mIndividualQueryName == name)
        return;
    mIndividualQueryName = name;
    updateParameter(QStringLiteral("BV_individualQueryName"), name ? QVariant(*name) : QVariant());
    updateQueryParameters();
}

void BrevantModel::setJiraUsername(const OptionalString &name)
{
    mJiraUsername = name;
    updateQueryParameters();
}

void BrevantModel::setEngineeringQueryTextD(const std::optional<StringDictionary> &dictionary)
{
    mEngineeringQueryTextD = dictionary;
}

void BrevantModel::setIndividualQueryTextD(const std::optional<StringDictionary> &dictionary)
{
    mIndividualQueryTextD = dictionary;
}

void BrevantModel::setJiraUsersD(const std::optional<JiraUsersDictionary> &dictionary)
{
    mJiraUsersD = dictionary;
}

void BrevantModel::setSiteURLD(const std::optional<StringDictionary> &dictionary)
{
    mSiteURLD = dictionary;
}

void BrevantModel::addObserver(const void *observer, NotificationHandler handler)
{
    addObserver(observer, std::move(handler), kModelNotificationName);
}

void BrevantModel::removeObserver(const void *observer)
{
    removeObserver(observer, kModelNotificationName);
}

void BrevantModel::addObserver(const void *observer, NotificationHandler handler,
                               const QString &name)
{
    removeObserver(observer, name);
    mObservers.push_back({observer, name, std::move(handler)});
}

void BrevantModel::removeObserver(const void *observer, const QString &name)
{
    std::erase_if(mObservers, [&](const Observer &entry) {
        return entry.observer == observer && entry.name == name;
    });
}

void BrevantModel::postNotificationName(const OptionalString &name, const QVariantMap &userInfo)
{
    if (!name)
        return;
    const ModelNotification notification{*name, this, userInfo};
    // Observers may unregister (or register others) while they handle a notification, so walk a
    // snapshot and skip any entry that has gone in the meantime.
    const std::vector<Observer> snapshot = mObservers;
    for (const Observer &entry : snapshot) {
        if (entry.name != *name)
            continue;
        const bool stillRegistered =
            std::any_of(mObservers.begin(), mObservers.end(), [&](const Observer &current) {
                return current.observer == entry.observer && current.name == entry.name;
            });
        if (stillRegistered)
            entry.handler(notification);
    }
}

bool BrevantModel::updateParameter(const OptionalString &key, const QVariant &value)
{
    if (!key || !value.isValid())
        return false;
    postNotificationName(kModelNotificationName, QVariantMap{{*key, value}});
    return true;
}

bool BrevantModel::writeToPasteBoard(const OptionalString &text)
{
    return mServices.clipboard && mServices.clipboard->writeString(text);
}
