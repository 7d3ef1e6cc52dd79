// The sprint window, the query text and the work-days line, from the worked example outward.
#include "BrevantModel.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QTest>
#include <QTimeZone>

#include <limits>

namespace {

const QString kVelocity = QStringLiteral(
    "project = ABC AND assignee = currentUser() AND {created} AND status changed to Done DURING "
    "{during} AND resolved >= {startDate} AND resolved <= {EndDate}");

QDateTime utc(int year, int month, int day, int hour = 17, int minute = 30)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

} // namespace

class SprintQueryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void recompute_workedExample_postsEightValuesInOrder();
    void recompute_durationVariations_data();
    void recompute_durationVariations();
    void placeholders_data();
    void placeholders();
    void recompute_withoutTemplate_postsNoQueryButWorkDays_data();
    void recompute_withoutTemplate_postsNoQueryButWorkDays();
    void dayText_lateEveningWestOfUtc_isNextCalendarDay();
    void sprintMoves_data();
    void sprintMoves();
    void previousThenNext_restoresInstantExactly();
    void startDate_setsDurationFromInterval_data();
    void startDate_setsDurationFromInterval();
    void hugeDurations_stayValidAndPinned_data();
    void hugeDurations_stayValidAndPinned();
    void extremeEndDate_movesWithoutOverflow();

private:
    // Builds the worked example's model state without going through recomputing setters.
    void setUpWorkedExample(qint64 duration = 14, const QString &templateText = kVelocity);

    TemporaryHome mHome;
    std::unique_ptr<BrevantModel> mModel;
    std::unique_ptr<NotificationRecorder> mRecorder;
};

void SprintQueryTest::init()
{
    mModel = std::make_unique<BrevantModel>();
    mRecorder = std::make_unique<NotificationRecorder>(*mModel);
}

void SprintQueryTest::cleanup()
{
    mRecorder.reset();
    mModel.reset();
}

void SprintQueryTest::setUpWorkedExample(qint64 duration, const QString &templateText)
{
    mModel->setEngineeringQueryTextD(StringDictionary{{QStringLiteral("Velocity"), templateText}});
    mModel->setSprintEndDate(utc(2020, 3, 27));
    mModel->setSprintDurationDays(duration);
    mModel->setEngineeringQueryName(QStringLiteral("Velocity"));
    mModel->setJiraUsername(QStringLiteral("teamlead7"));
    mRecorder->clear();
}

void SprintQueryTest::recompute_workedExample_postsEightValuesInOrder()
{
    setUpWorkedExample();
    mModel->setIndividualQueryName(QStringLiteral("Mine"));
    mRecorder->clear();

    mModel->updateQueryParameters();

    const QList<QPair<QString, QVariant>> expected{
        {"BV_sprintEndDate", utc(2020, 3, 27)},
        {"BV_daysField", QStringLiteral("14")},
        {"BV_sprintDurationPopUp", QStringLiteral("14")},
        {"BV_engineeringQueryName", QStringLiteral("Velocity")},
        {"BV_individualQueryName", QStringLiteral("Mine")},
        {"BV_sprintStartDate", utc(2020, 3, 14)},
        {"BV_queryText",
         QStringLiteral("project = ABC AND assignee = teamlead7 AND created >= 2020-03-14 AND "
                        "created <= 2020-03-27 AND status changed to Done DURING (2020-03-14, "
                        "2020-03-27) AND resolved >= 2020-03-14 AND resolved <= 2020-03-27")},
        {"BV_workDays", QStringLiteral("2020-03-20 11:59 PM\t=ROUND(K2-J2,0)")},
    };
    QCOMPARE(mRecorder->entries, expected);
    QCOMPARE(mRecorder->payloadsWithOtherThanOneKey, 0);
}

void SprintQueryTest::recompute_durationVariations_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<QString>("popUp");
    QTest::addColumn<QString>("startDay");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("workDays");

    QTest::newRow("1 day uses the day before in during") << qint64(1) << "1"
                                                         << "2020-03-27"
                                                         << "(2020-03-26, 2020-03-27)"
                                                         << "2020-03-27 11:59 AM";
    QTest::newRow("7 days is a named length") << qint64(7) << "7"
                                              << "2020-03-21"
                                              << "(2020-03-21, 2020-03-27)"
                                              << "2020-03-24 11:59 AM";
    QTest::newRow("10 days selects the other item") << qint64(10) << "0"
                                                    << "2020-03-18"
                                                    << "(2020-03-18, 2020-03-27)"
                                                    << "2020-03-22 11:59 PM";
    QTest::newRow("14 days") << qint64(14) << "14"
                             << "2020-03-14"
                             << "(2020-03-14, 2020-03-27)"
                             << "2020-03-20 11:59 PM";
    QTest::newRow("15 days selects the other item") << qint64(15) << "0"
                                                    << "2020-03-13"
                                                    << "(2020-03-13, 2020-03-27)"
                                                    << "2020-03-20 11:59 AM";
    QTest::newRow("21 days") << qint64(21) << "21"
                             << "2020-03-07"
                             << "(2020-03-07, 2020-03-27)"
                             << "2020-03-17 11:59 AM";
    QTest::newRow("0 days starts the day after the end") << qint64(0) << "0"
                                                         << "2020-03-28"
                                                         << "(2020-03-28, 2020-03-27)"
                                                         << "2020-03-27 11:59 PM";
    QTest::newRow("-7 days starts 8 days after the end") << qint64(-7) << "-7"
                                                         << "2020-04-04"
                                                         << "(2020-04-04, 2020-03-27)"
                                                         << "2020-03-30 11:59 AM";
}

void SprintQueryTest::recompute_durationVariations()
{
    QFETCH(qint64, duration);
    QFETCH(QString, popUp);
    QFETCH(QString, startDay);
    QFETCH(QString, during);
    QFETCH(QString, workDays);
    setUpWorkedExample(duration, QStringLiteral("{during} {created}"));

    mModel->updateQueryParameters();

    QCOMPARE(mRecorder->last("BV_daysField").toString(), QString::number(duration));
    QCOMPARE(mRecorder->last("BV_sprintDurationPopUp").toString(), popUp);
    QCOMPARE(
        mRecorder->last("BV_sprintStartDate").toDateTime().toUTC().date().toString(Qt::ISODate),
        startDay);
    QCOMPARE(mRecorder->last("BV_queryText").toString(),
             during % QStringLiteral(" created >= ") % startDay %
                 QStringLiteral(" AND created <= 2020-03-27"));
    QCOMPARE(mRecorder->last("BV_workDays").toString(),
             workDays % QStringLiteral("\t=ROUND(K2-J2,0)"));
}

void SprintQueryTest::placeholders_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<OptionalString>("user");
    QTest::addColumn<QString>("query");

    const OptionalString lead = QStringLiteral("teamlead7");
    QTest::newRow("placeholders in other letter case")
        << "{Created} {DURING} {startdate} {ENDDATE} CURRENTUSER()" << lead
        << "created >= 2020-03-14 AND created <= 2020-03-27 (2020-03-14, 2020-03-27) 2020-03-14 "
           "2020-03-27 teamlead7";
    QTest::newRow("repeated placeholder replaced everywhere")
        << "{created} OR {created}" << lead
        << "created >= 2020-03-14 AND created <= 2020-03-27 OR created >= 2020-03-14 AND "
           "created <= 2020-03-27";
    QTest::newRow("no placeholders passes through") << "project = ABC" << lead << "project = ABC";
    QTest::newRow("user name inserted last is not searched again")
        << "assignee = currentUser()" << OptionalString(QStringLiteral("{endDate}"))
        << "assignee = {endDate}";
    QTest::newRow("user name currentUser() leaves the text")
        << "assignee = currentUser()" << OptionalString(QStringLiteral("currentUser()"))
        << "assignee = currentUser()";
    QTest::newRow("empty user name leaves currentUser()")
        << "assignee = currentUser()" << OptionalString(QString()) << "assignee = currentUser()";
    QTest::newRow("no user name leaves currentUser()")
        << "assignee = currentUser()" << OptionalString() << "assignee = currentUser()";
    QTest::newRow("JQL string literal passes through")
        << "status = 'In Progress' AND {startDate}" << lead
        << "status = 'In Progress' AND 2020-03-14";
}

void SprintQueryTest::placeholders()
{
    QFETCH(QString, templateText);
    QFETCH(OptionalString, user);
    QFETCH(QString, query);
    setUpWorkedExample(14, templateText);

    mModel->setJiraUsername(user);

    QCOMPARE(mRecorder->last("BV_queryText").toString(), query);
}

void SprintQueryTest::recompute_withoutTemplate_postsNoQueryButWorkDays_data()
{
    QTest::addColumn<OptionalString>("tab");
    QTest::addColumn<OptionalString>("name");

    QTest::newRow("unknown tab identifier")
        << OptionalString("Other") << OptionalString("Velocity");
    QTest::newRow("tab identifier in other case")
        << OptionalString("engineering") << OptionalString("Velocity");
    QTest::newRow("name not in the dictionary")
        << OptionalString("Engineering") << OptionalString("Missing");
    QTest::newRow("no individual name") << OptionalString("Individual") << OptionalString();
}

void SprintQueryTest::recompute_withoutTemplate_postsNoQueryButWorkDays()
{
    QFETCH(OptionalString, tab);
    QFETCH(OptionalString, name);
    setUpWorkedExample();
    mModel->setEngineeringQueryName(name);
    mRecorder->clear();

    mModel->setQueryTabIdentifier(tab);

    QVERIFY(!mRecorder->keys().contains("BV_queryText"));
    QCOMPARE(mRecorder->keys().last(), QStringLiteral("BV_workDays"));
}

void SprintQueryTest::dayText_lateEveningWestOfUtc_isNextCalendarDay()
{
    setUpWorkedExample(1, QStringLiteral("{endDate}"));
    const QDateTime lateEvening(QDate(2020, 3, 27), QTime(23, 30), QTimeZone(-7 * 3600));

    mModel->setSprintEndDate(lateEvening);

    QCOMPARE(mRecorder->last("BV_queryText").toString(), QStringLiteral("2020-03-28"));
    QCOMPARE(mRecorder->last("BV_sprintEndDate").toDateTime(), lateEvening);
}

void SprintQueryTest::sprintMoves_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<QDateTime>("previousEnd");
    QTest::addColumn<QDateTime>("nextEnd");

    QTest::newRow("14 days") << qint64(14) << utc(2020, 3, 13) << utc(2020, 4, 10);
    QTest::newRow("0 days stays") << qint64(0) << utc(2020, 3, 27) << utc(2020, 3, 27);
    QTest::newRow("-7 days moves the other way")
        << qint64(-7) << utc(2020, 4, 3) << utc(2020, 3, 20);
}

void SprintQueryTest::sprintMoves()
{
    QFETCH(qint64, duration);
    QFETCH(QDateTime, previousEnd);
    QFETCH(QDateTime, nextEnd);
    setUpWorkedExample(duration);

    mModel->previousSprint();
    QCOMPARE(mModel->sprintEndDate(), previousEnd);
    QCOMPARE(mRecorder->keys().first(), QStringLiteral("BV_sprintEndDate"));

    mModel->setSprintEndDate(utc(2020, 3, 27));
    mModel->nextSprint();
    QCOMPARE(mModel->sprintEndDate(), nextEnd);
    QCOMPARE(mModel->sprintDurationDays(), duration);
}

void SprintQueryTest::previousThenNext_restoresInstantExactly()
{
    setUpWorkedExample(10);
    const QDateTime odd(QDate(2021, 10, 31), QTime(1, 59, 58, 123), QTimeZone("Europe/Berlin"));
    mModel->setSprintEndDate(odd);

    for (int i = 0; i < 30; ++i)
        mModel->previousSprint();
    for (int i = 0; i < 30; ++i)
        mModel->nextSprint();

    QCOMPARE(mModel->sprintEndDate()->toMSecsSinceEpoch(), odd.toMSecsSinceEpoch());
}

void SprintQueryTest::startDate_setsDurationFromInterval_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<QString>("startDay");

    QTest::newRow("same time of day gives the start back")
        << utc(2020, 3, 18) << qint64(10) << "2020-03-18";
    QTest::newRow("end date itself is one day") << utc(2020, 3, 27) << qint64(1) << "2020-03-27";
    QTest::newRow("part of a day is truncated")
        << utc(2020, 3, 18, 20, 0) << qint64(9) << "2020-03-19";
    QTest::newRow("a day after the end gives zero")
        << utc(2020, 3, 28) << qint64(0) << "2020-03-28";
    QTest::newRow("later still gives a negative length")
        << utc(2020, 4, 1) << qint64(-4) << "2020-04-01";
}

void SprintQueryTest::startDate_setsDurationFromInterval()
{
    QFETCH(QDateTime, start);
    QFETCH(qint64, duration);
    QFETCH(QString, startDay);
    setUpWorkedExample(14, QStringLiteral("{startDate}"));

    mModel->setSprintStartDate(start);

    QCOMPARE(mModel->sprintDurationDays(), duration);
    QCOMPARE(mModel->sprintEndDate(), utc(2020, 3, 27));
    QCOMPARE(mRecorder->last("BV_queryText").toString(), startDay);
}

void SprintQueryTest::hugeDurations_stayValidAndPinned_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<QString>("startDay");
    QTest::addColumn<QString>("previousEndDay");

    constexpr qint64 most = std::numeric_limits<qint64>::max();
    constexpr qint64 least = std::numeric_limits<qint64>::min();
    QTest::newRow("largest duration") << most << "0100-01-01"
                                      << "0100-01-01";
    QTest::newRow("smallest duration") << least << "9999-12-31"
                                       << "9999-12-31";
    QTest::newRow("duration past the calendar") << qint64(4'000'000) << "0100-01-01"
                                                << "0100-01-01";
}

void SprintQueryTest::hugeDurations_stayValidAndPinned()
{
    QFETCH(qint64, duration);
    QFETCH(QString, startDay);
    QFETCH(QString, previousEndDay);
    setUpWorkedExample(duration, QStringLiteral("{startDate}"));

    mModel->updateQueryParameters();
    const QDateTime start = mRecorder->last("BV_sprintStartDate").toDateTime();
    QVERIFY(start.isValid());
    QCOMPARE(start.time(), QTime(17, 30));
    QCOMPARE(mRecorder->last("BV_queryText").toString(), startDay);
    QVERIFY(mRecorder->last("BV_workDays").toString().contains(QStringLiteral(" 11:59 ")));

    mModel->previousSprint();
    QCOMPARE(mModel->sprintEndDate()->date().toString(Qt::ISODate), previousEndDay);
    QCOMPARE(mModel->sprintDurationDays(), duration);
}

void SprintQueryTest::extremeEndDate_movesWithoutOverflow()
{
    setUpWorkedExample(14, QStringLiteral("{startDate}"));
    for (const qint64 msecs :
         {std::numeric_limits<qint64>::min() / 2, std::numeric_limits<qint64>::max() / 2}) {
        const QDateTime extreme = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        QVERIFY(extreme.isValid());
        mModel->setSprintEndDate(extreme);
        mModel->previousSprint();
        mModel->nextSprint();
        QVERIFY(mRecorder->last("BV_sprintStartDate").toDateTime().isValid());
    }
}

QTEST_GUILESS_MAIN(SprintQueryTest)
#include "tst_sprintquery.moc"
