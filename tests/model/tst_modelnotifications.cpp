// The model's defaults, which setters compare or recompute, and how notifications are delivered.
#include "BrevantModel.h"
#include "ModelFakes.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QTest>

namespace {

const QStringList kRecomputation{"BV_sprintEndDate",       "BV_daysField",
                                 "BV_sprintDurationPopUp", "BV_engineeringQueryName",
                                 "BV_individualQueryName", "BV_sprintStartDate",
                                 "BV_queryText",           "BV_workDays"};

QDateTime endDate()
{
    return QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC);
}

} // namespace

class ModelNotificationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void init_setsDefaultsAndPostsNothing();
    void setter_sameValue_postsNothing_data();
    void setter_sameValue_postsNothing();
    void setter_newValue_recomputesInOrder_data();
    void setter_newValue_recomputesInOrder();
    void storeOnlySetters_neverPost();
    void recompute_leavesOutNoneValues();
    void delivery_isFilteredBySenderAndName();
    void delivery_observerRemovedDuringDelivery_getsNoMore();
    void post_noneNameOrValue_postsNothing();
    void writeToPasteBoard_setsOrClearsClipboard();

private:
    TemporaryHome mHome;
    FakeClipboard mClipboard;
    std::unique_ptr<BrevantModel> mModel;
    std::unique_ptr<NotificationRecorder> mRecorder;
};

void ModelNotificationsTest::init()
{
    mModel = std::make_unique<BrevantModel>(ModelServices{&mClipboard});
    mModel->setEngineeringQueryTextD(StringDictionary{{"Velocity", "{startDate}"}, {"Bugs", "b"}});
    mModel->setSprintEndDate(endDate());
    mModel->setEngineeringQueryName(QStringLiteral("Velocity"));
    mModel->setIndividualQueryName(QStringLiteral("Mine"));
    mModel->setJiraUsername(QStringLiteral("teamlead7"));
    mRecorder = std::make_unique<NotificationRecorder>(*mModel);
}

void ModelNotificationsTest::cleanup()
{
    mRecorder.reset();
    mModel.reset();
}

void ModelNotificationsTest::init_setsDefaultsAndPostsNothing()
{
    BrevantModel fresh;
    NotificationRecorder recorder(fresh);
    QVERIFY(!fresh.sprintEndDate());
    QCOMPARE(fresh.sprintDurationDays(), 14);
    QCOMPARE(fresh.queryTabIdentifier(), OptionalString("Engineering"));
    QVERIFY(!fresh.engineeringQueryName());
    QVERIFY(!fresh.individualQueryName());
    QVERIFY(!fresh.jiraUsername());
    QVERIFY(!fresh.skipNoneFound());
    QVERIFY(recorder.entries.isEmpty());
}

void ModelNotificationsTest::setter_sameValue_postsNothing_data()
{
    QTest::addColumn<std::function<void(BrevantModel &)>>("change");

    QTest::newRow("end date, same instant in another zone") << std::function(
        [](BrevantModel &m) { m.setSprintEndDate(endDate().toOffsetFromUtc(-7 * 3600)); });
    QTest::newRow("same duration")
        << std::function([](BrevantModel &m) { m.setSprintDurationDays(14); });
    QTest::newRow("same engineering name") << std::function(
        [](BrevantModel &m) { m.setEngineeringQueryName(QStringLiteral("Velocity")); });
    QTest::newRow("same individual name")
        << std::function([](BrevantModel &m) { m.setIndividualQueryName(QStringLiteral("Mine")); });
}

void ModelNotificationsTest::setter_sameValue_postsNothing()
{
    QFETCH(std::function<void(BrevantModel &)>, change);
    change(*mModel);
    QCOMPARE(mRecorder->keys(), QStringList());
}

void ModelNotificationsTest::setter_newValue_recomputesInOrder_data()
{
    QTest::addColumn<std::function<void(BrevantModel &)>>("change");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("new end date") << std::function([](BrevantModel &m) {
        m.setSprintEndDate(endDate().addDays(1));
    }) << kRecomputation;
    QTest::newRow("new duration") << std::function([](BrevantModel &m) {
        m.setSprintDurationDays(7);
    }) << kRecomputation;
    QTest::newRow("new engineering name posts it twice")
        << std::function([](BrevantModel &m) { m.setEngineeringQueryName(QStringLiteral("Bugs")); })
        << QStringList{"BV_engineeringQueryName"} + kRecomputation;
    QTest::newRow("new individual name posts it twice")
        << std::function([](BrevantModel &m) { m.setIndividualQueryName(QStringLiteral("Other")); })
        << QStringList{"BV_individualQueryName"} + kRecomputation;
    QTest::newRow("same tab identifier still posts and recomputes")
        << std::function(
               [](BrevantModel &m) { m.setQueryTabIdentifier(QStringLiteral("Engineering")); })
        << QStringList{"BV_queryTabIdentifier"} + kRecomputation;
    QTest::newRow("same user name still recomputes")
        << std::function([](BrevantModel &m) { m.setJiraUsername(QStringLiteral("teamlead7")); })
        << kRecomputation;
    QTest::newRow("previous sprint without comparing")
        << std::function([](BrevantModel &m) { m.previousSprint(); }) << kRecomputation;
}

void ModelNotificationsTest::setter_newValue_recomputesInOrder()
{
    QFETCH(std::function<void(BrevantModel &)>, change);
    QFETCH(QStringList, keys);
    change(*mModel);
    QCOMPARE(mRecorder->keys(), keys);
    QCOMPARE(mRecorder->payloadsWithOtherThanOneKey, 0);
}

void ModelNotificationsTest::storeOnlySetters_neverPost()
{
    mModel->setSkipNoneFound(true);
    mModel->setEngineeringQueryTextD(std::nullopt);
    mModel->setIndividualQueryTextD(StringDictionary{});
    mModel->setJiraUsersD(JiraUsersDictionary{{"Team", {{"Ann", "ann"}}}});
    mModel->setSiteURLD(StringDictionary{{"jiraLogin", "https://jira.example.com"}});

    QCOMPARE(mRecorder->keys(), QStringList());
    QVERIFY(mModel->skipNoneFound());
    QVERIFY(!mModel->engineeringQueryTextD());
    QCOMPARE(mModel->individualQueryTextD(), StringDictionary{});
}

void ModelNotificationsTest::recompute_leavesOutNoneValues()
{
    // A none name is not posted, but an empty name is: the two are different values.
    mModel->setIndividualQueryName(std::nullopt);
    mModel->setEngineeringQueryName(QString());
    mRecorder->clear();

    mModel->updateQueryParameters();

    QCOMPARE(mRecorder->keys(),
             (QStringList{"BV_sprintEndDate", "BV_daysField", "BV_sprintDurationPopUp",
                          "BV_engineeringQueryName", "BV_sprintStartDate", "BV_workDays"}));
    QCOMPARE(mRecorder->last("BV_engineeringQueryName"), QVariant(QString()));
}

void ModelNotificationsTest::delivery_isFilteredBySenderAndName()
{
    BrevantModel other;
    NotificationRecorder otherRecorder(other);
    int otherNameCount = 0;
    mModel->addObserver(
        &otherNameCount, [&](const ModelNotification &) { ++otherNameCount; },
        QStringLiteral("BV_otherNotification"));
    const BrevantModel *sender = nullptr;
    mModel->addObserver(&sender, [&](const ModelNotification &n) { sender = n.sender; });

    mModel->setSprintDurationDays(21);

    QVERIFY(otherRecorder.entries.isEmpty());
    QCOMPARE(otherNameCount, 0);
    QCOMPARE(sender, mModel.get());

    mModel->postNotificationName(QStringLiteral("BV_otherNotification"), {});
    QCOMPARE(otherNameCount, 1);
    mModel->removeObserver(&otherNameCount, QStringLiteral("BV_otherNotification"));
    mModel->postNotificationName(QStringLiteral("BV_otherNotification"), {});
    QCOMPARE(otherNameCount, 1);
}

void ModelNotificationsTest::delivery_observerRemovedDuringDelivery_getsNoMore()
{
    int late = 0;
    int early = 0;
    // The first observer unregisters the second while the first notification is delivered.
    mModel->addObserver(&early, [&](const ModelNotification &) {
        ++early;
        mModel->removeObserver(&late);
    });
    mModel->addObserver(&late, [&](const ModelNotification &) { ++late; });

    mModel->setSprintDurationDays(21);

    QCOMPARE(early, int(kRecomputation.size()));
    QCOMPARE(late, 0);
}

void ModelNotificationsTest::post_noneNameOrValue_postsNothing()
{
    QVERIFY(!mModel->updateParameter(std::nullopt, QStringLiteral("x")));
    QVERIFY(!mModel->updateParameter(QStringLiteral("BV_daysField"), QVariant()));
    mModel->postNotificationName(std::nullopt, {{"BV_daysField", "1"}});
    QVERIFY(mRecorder->entries.isEmpty());

    QVERIFY(mModel->updateParameter(QStringLiteral("BV_daysField"), QString()));
    QCOMPARE(mRecorder->entries.size(), 1);
}

void ModelNotificationsTest::writeToPasteBoard_setsOrClearsClipboard()
{
    QVERIFY(mModel->writeToPasteBoard(QStringLiteral("project = ABC")));
    QCOMPARE(mClipboard.contents, OptionalString("project = ABC"));

    QVERIFY(!mModel->writeToPasteBoard(std::nullopt));
    QVERIFY(!mClipboard.contents);

    BrevantModel withoutClipboard;
    QVERIFY(!withoutClipboard.writeToPasteBoard(QStringLiteral("x")));
}

QTEST_GUILESS_MAIN(ModelNotificationsTest)
#include "tst_modelnotifications.moc"
