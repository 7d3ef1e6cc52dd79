// The user's choices saved between launches in the desktop's settings store.
//
// Values are checked for their type when read: a value of another type (a text where a date
// belongs, a list where a name belongs) is taken as absent. The text form of the settings file
// stores numbers and flags as text, so those are also accepted in their written form.
#include "BrevantModel.h"
#include "HomeFolder.h"
#include "Log.h"
#include "SprintDates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>

namespace {

const QString endDateKey = QStringLiteral("BV_sprintEndDate");
const QString durationKey = QStringLiteral("BV_daysField");
const QString skipKey = QStringLiteral("BV_skipNoneFound");
const QString tabKey = QStringLiteral("BV_queryTabIdentifier");
const QString engineeringNameKey = QStringLiteral("BV_engineeringQueryName");
const QString individualNameKey = QStringLiteral("BV_individualQueryName");
const QString jiraUsernameKey = QStringLiteral("BV_jiraUsername");

// The program's store; tests move it with QSettings::setPath.
const QString organisationName = QStringLiteral("quillfen");
const QString applicationName = QStringLiteral("brevant");

// How long to wait for another instance's save to finish before leaving its files alone.
constexpr int kSaveLockWaitMs = 1000;

QString failureReason(const QSettings &defaults)
{
    const QString file = defaults.fileName();
    if (defaults.status() == QSettings::FormatError)
        return QStringLiteral("the settings file ") + file + QStringLiteral(" is malformed");
    return QStringLiteral("the settings file ") + file + QStringLiteral(" could not be accessed");
}

std::optional<QDateTime> storedDate(const QSettings &defaults, const QString &key)
{
    const QVariant value = defaults.value(key);
    if (value.typeId() != QMetaType::QDateTime)
        return std::nullopt;
    // A date the window cannot show, or that no sprint arithmetic can start from, is absent.
    const QDateTime date = value.toDateTime().toUTC();
    if (!date.isValid() || date < SprintDates::earliestInstant() ||
        date > SprintDates::latestInstant())
        return std::nullopt;
    return date;
}

qint64 storedInteger(const QSettings &defaults, const QString &key)
{
    const QVariant value = defaults.value(key);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::QString: {
        bool isNumber = false;
        const qint64 number = value.toString().trimmed().toLongLong(&isNumber);
        return isNumber ? number : 0;
    }
    default:
        return 0;
    }
}

bool storedFlag(const QSettings &defaults, const QString &key)
{
    const QVariant value = defaults.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() != QMetaType::QString)
        return false;
    const QString text = value.toString().trimmed();
    return text.compare(u"true", Qt::CaseInsensitive) == 0 || text == u"1";
}

OptionalString storedText(const QSettings &defaults, const QString &key)
{
    const QVariant value = defaults.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

void storeText(QSettings &defaults, const QString &key, const OptionalString &text)
{
    // A null QString would not survive as an empty one; the name is present, so store "".
    if (text)
        defaults.setValue(key, text->isNull() ? QStringLiteral("") : *text);
}

void keepDamagedFile(const QString &file)
{
    const QString kept = file + QStringLiteral(".damaged");
    QFile::remove(kept);
    if (QFile::copy(file, kept))
        logLine(QStringLiteral("The damaged settings file was kept as ") + kept);
}

// Every section is parsed when it is first read; reading all keys makes damage anywhere in the
// file show in the status now rather than in the status of a later save.
QSettings::Status statusOfWholeFile(QSettings &defaults)
{
    defaults.allKeys();
    return defaults.status();
}

// A save writes "<file>.XXXXXX" and renames it over the file; a program killed at that rename
// leaves it behind. Removed under the lock that saves hold, so no save in progress loses it.
void removeUnfinishedSaves(const QString &file)
{
    QLockFile lock(file + QStringLiteral(".lock"));
    if (!lock.tryLock(kSaveLockWaitMs))
        return;
    const QFileInfo info(file);
    const QRegularExpression temporaryName(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral(R"(\.[A-Za-z0-9]{6})")));
    QDir folder = info.dir();
    for (const QString &name :
         folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        if (temporaryName.match(name).hasMatch() && folder.remove(name))
            logLine(QStringLiteral("Removed an unfinished save of the settings: ") +
                    folder.filePath(name));
    }
}

// The entries of a store damaged since it was read, with the damaged file kept aside and out of
// the way: saving into it would report the earlier damage as the save's own failure.
std::optional<QVariantMap> salvageDamagedStore()
{
    QSettings damaged(organisationName, applicationName);
    if (statusOfWholeFile(damaged) != QSettings::FormatError)
        return std::nullopt;
    QVariantMap entries;
    for (const QString &key : damaged.allKeys())
        entries.insert(key, damaged.value(key));
    keepDamagedFile(damaged.fileName());
    QFile::remove(damaged.fileName());
    return entries;
}

void storeEntries(QSettings &defaults, const QVariantMap &entries)
{
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
        defaults.setValue(entry.key(), entry.value());
}

} // namespace

void BrevantModel::readPrefs()
{
    QSettings defaults(organisationName, applicationName);
    removeUnfinishedSaves(defaults.fileName());
    const QSettings::Status status = statusOfWholeFile(defaults);
    if (status != QSettings::NoError) {
        logLine(QStringLiteral("\nUnexpected exception during readPrefs settings."));
        // Quitting rewrites a damaged file from what could be parsed, so keep it aside.
        if (status == QSettings::FormatError)
            keepDamagedFile(defaults.fileName());
    }
    // What could not be read, down to a whole store that cannot be read at all, takes its
    // first-launch value.
    mSprintEndDate = storedDate(defaults, endDateKey).value_or(QDateTime::currentDateTimeUtc());
    mSprintDurationDays = 0;
    mSprintDurationDays = storedInteger(defaults, durationKey);
    mSkipNoneFound = storedFlag(defaults, skipKey);
    if (mSprintDurationDays == 0)
        mSprintDurationDays = 14;
    if (const OptionalString tab = storedText(defaults, tabKey))
        mQueryTabIdentifier = tab;
    mEngineeringQueryName = storedText(defaults, engineeringNameKey);
    mIndividualQueryName = storedText(defaults, individualNameKey);
    mJiraUsername = storedText(defaults, jiraUsernameKey);
    if (!mJiraUsername)
        mJiraUsername = QStringLiteral("currentUser()");
}

void BrevantModel::writePrefs()
{
    const std::optional<QVariantMap> salvaged = salvageDamagedStore();
    QSettings defaults(organisationName, applicationName);
    // Saving makes the settings file's folders, and would make a missing home with them.
    if (wouldCreateMissingHome(QFileInfo(defaults.fileName()).path()))
        return;
    if (defaults.status() == QSettings::AccessError) {
        logLine(QStringLiteral("Unexpected exception during writePrefs: ") +
                failureReason(defaults));
        return;
    }
    // A damaged file is written over (a copy of it was kept): refusing would lose every later
    // choice, launch after launch.
    if (salvaged)
        storeEntries(defaults, *salvaged);
    if (mSprintEndDate)
        defaults.setValue(endDateKey, *mSprintEndDate);
    if (mSprintDurationDays != 0)
        defaults.setValue(durationKey, static_cast<qlonglong>(mSprintDurationDays));
    defaults.setValue(skipKey, mSkipNoneFound);
    storeText(defaults, tabKey, mQueryTabIdentifier);
    storeText(defaults, engineeringNameKey, mEngineeringQueryName);
    storeText(defaults, individualNameKey, mIndividualQueryName);
    storeText(defaults, jiraUsernameKey, mJiraUsername);
    // The store is written when it goes away; syncing here is only to learn whether it worked.
    defaults.sync();
    if (defaults.status() != QSettings::NoError)
        logLine(QStringLiteral("Unexpected exception during writePrefs: ") +
                failureReason(defaults));
}
