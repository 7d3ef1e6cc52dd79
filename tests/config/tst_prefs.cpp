// Saving the user's choices at termination and restoring them at launch, through a real
// settings file in a throwaway folder.
#include "BrevantModel.h"
#include "ConfigFixtures.h"
#include "EnvironmentOverride.h"
#include "LogCapture.h"
#include "TemporaryHome.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace fixtures;

namespace {

struct Choices
{
    qint64 duration = 14;
    bool skip = false;
    OptionalString tab = QStringLiteral("Engineering");
    OptionalString engineering;
    OptionalString individual;
    OptionalString user = QStringLiteral("currentUser()");
};

void compareChoices(const BrevantModel &model, const Choices &expected)
{
    QCOMPARE(model.sprintDurationDays(), expected.duration);
    QCOMPARE(model.skipNoneFound(), expected.skip);
    QCOMPARE(model.queryTabIdentifier(), expected.tab);
    QCOMPARE(model.engineeringQueryName(), expected.engineering);
    QCOMPARE(model.individualQueryName(), expected.individual);
    QCOMPARE(model.jiraUsername(), expected.user);
}

} // namespace

Q_DECLARE_METATYPE(Choices)

// Constructing a model loads the configuration files and logs about them; the tests look only
// at what the preferences log, so they clear the capture right after construction.
class PrefsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void readPrefs_emptyStore_givesFirstLaunchDefaults();
    void readPrefs_storedValues_data();
    void readPrefs_storedValues();
    void readPrefs_assignsWithoutNotifying();
    void roundTrip_throughTheFile_keepsEveryChoice();
    void writePrefs_leavesAbsentChoicesStoredBefore();
    void unreadableStore_logsAndGivesFirstLaunchValues();
    void damagedStore_readsWhatParsesAndIsWrittenAgain();
    void damageNotSeenAtLaunch_successfulSaveReportsNoFailure_data();
    void damageNotSeenAtLaunch_successfulSaveReportsNoFailure();
    void unfinishedSave_removedAtNextLaunch();
    void homeThatDoesNotExist_isNotMadeBySaving();
    void writePrefs_fileCannotBeWritten_logsIt();
    void readPrefs_dateOutsideTheCalendar_isAbsent();

private:
    QString settingsFile() const
    {
        return mSettingsFolder->path() + QStringLiteral("/quillfen/brevant.conf");
    }
    // A fresh folder each time, so that no settings cached by Qt for an earlier file are seen.
    void useNewSettingsFolder();

    TemporaryHome mHome;
    std::unique_ptr<QTemporaryDir> mSettingsFolder;
    std::unique_ptr<LogCapture> mLog;
};

void PrefsTest::useNewSettingsFolder()
{
    mSettingsFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(mSettingsFolder->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mSettingsFolder->path());
}

void PrefsTest::init()
{
    useNewSettingsFolder();
    mLog = std::make_unique<LogCapture>();
}

void PrefsTest::cleanup()
{
    mLog.reset();
    mSettingsFolder.reset();
}

void PrefsTest::readPrefs_emptyStore_givesFirstLaunchDefaults()
{
    BrevantModel model;
    mLog->clear();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    model.readPrefs();
    const QDateTime after = QDateTime::currentDateTimeUtc();
    QVERIFY(model.sprintEndDate() && *model.sprintEndDate() >= before &&
            *model.sprintEndDate() <= after);
    compareChoices(model, Choices());
    QVERIFY(!QFileInfo::exists(settingsFile()));
}

void PrefsTest::readPrefs_storedValues_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<Choices>("expected");
    Choices choices;
    choices.duration = -5;
    QTest::newRow("duration -5 is kept") << QByteArray("BV_daysField=-5") << choices;
    QTest::newRow("duration 0 reads as 14") << QByteArray("BV_daysField=0") << Choices();
    QTest::newRow("duration as words is absent")
        << QByteArray("BV_daysField=two weeks") << Choices();
    QTest::newRow("duration as a list is absent") << QByteArray("BV_daysField=7, 14") << Choices();
    choices = Choices();
    choices.skip = true;
    QTest::newRow("skip flag on") << QByteArray("BV_skipNoneFound=true") << choices;
    QTest::newRow("skip flag as other text is off")
        << QByteArray("BV_skipNoneFound=maybe") << Choices();
    choices = Choices();
    choices.tab = QStringLiteral("Dashboards");
    QTest::newRow("unrecognised tab is taken")
        << QByteArray("BV_queryTabIdentifier=Dashboards") << choices;
    QTest::newRow("tab as a list leaves Engineering")
        << QByteArray("BV_queryTabIdentifier=Individual, Engineering") << Choices();
    choices = Choices();
    choices.engineering = QStringLiteral("Bugs Created");
    choices.individual = QStringLiteral("");
    QTest::newRow("names, one empty")
        << QByteArray("BV_engineeringQueryName=Bugs Created\nBV_individualQueryName=") << choices;
    QTest::newRow("name as a list is absent")
        << QByteArray("BV_engineeringQueryName=a, b") << Choices();
    choices = Choices();
    choices.user = QStringLiteral("");
    QTest::newRow("empty user name stays empty") << QByteArray("BV_jiraUsername=") << choices;
    choices.user = QStringLiteral("amoreno");
    QTest::newRow("user name") << QByteArray("BV_jiraUsername=amoreno") << choices;
    QTest::newRow("user name as a list is absent")
        << QByteArray("BV_jiraUsername=a, b") << Choices();
}

void PrefsTest::readPrefs_storedValues()
{
    QFETCH(QByteArray, stored);
    QFETCH(Choices, expected);
    QVERIFY(writeFile(settingsFile(), "[General]\nBV_sprintEndDate=2020-03-27\n" + stored + '\n'));
    BrevantModel model;
    mLog->clear();
    model.setEngineeringQueryName(QStringLiteral("before readPrefs"));
    const QDateTime before = QDateTime::currentDateTimeUtc();
    model.readPrefs();
    // A date written as plain text is no date: the end date becomes now.
    QVERIFY(model.sprintEndDate() && *model.sprintEndDate() >= before);
    compareChoices(model, expected);
    QVERIFY(mLog->lines().isEmpty());
}

void PrefsTest::readPrefs_assignsWithoutNotifying()
{
    QVERIFY(writeFile(settingsFile(),
                      "[General]\nBV_daysField=21\nBV_queryTabIdentifier=Individual\n"
                      "BV_individualQueryName=Person - Created\n"));
    BrevantModel model;
    mLog->clear();
    int notifications = 0;
    model.addObserver(this, [&](const ModelNotification &) { ++notifications; });
    model.readPrefs();
    QCOMPARE(notifications, 0);
    QCOMPARE(model.sprintDurationDays(), 21);
    model.removeObserver(this);
}

void PrefsTest::roundTrip_throughTheFile_keepsEveryChoice()
{
    const QDateTime end(QDate(2020, 3, 27), QTime(17, 30, 12, 345), Qt::UTC);
    Choices choices;
    choices.duration = -5;
    choices.skip = true;
    choices.tab = QStringLiteral("Individual");
    choices.engineering = QStringLiteral("Velocity - Completed");
    choices.individual = QStringLiteral("Person, \"quoted\" = 'text'; [x]");
    choices.user = QStringLiteral("");
    {
        BrevantModel model;
        mLog->clear();
        model.setSprintEndDate(end);
        model.setSprintDurationDays(choices.duration);
        model.setSkipNoneFound(choices.skip);
        model.setQueryTabIdentifier(choices.tab);
        model.setEngineeringQueryName(choices.engineering);
        model.setIndividualQueryName(choices.individual);
        model.setJiraUsername(choices.user);
        model.writePrefs();
    }
    const QByteArray written = readFile(settingsFile());
    QVERIFY(written.contains("BV_skipNoneFound=true"));
    QVERIFY(written.contains("BV_daysField=-5"));
    // Read back as the next launch would: from the file alone.
    const std::unique_ptr<QTemporaryDir> previous = std::move(mSettingsFolder);
    useNewSettingsFolder();
    QVERIFY(writeFile(settingsFile(), written));

    BrevantModel model;
    mLog->clear();
    model.readPrefs();
    QCOMPARE(model.sprintEndDate(), end);
    compareChoices(model, choices);
    QVERIFY(mLog->lines().isEmpty());
}

void PrefsTest::writePrefs_leavesAbsentChoicesStoredBefore()
{
    QVERIFY(writeFile(settingsFile(), "[General]\nBV_daysField=21\nBV_skipNoneFound=true\n"
                                      "BV_engineeringQueryName=Bugs Created\n"));
    BrevantModel model;
    mLog->clear();
    model.setSprintDurationDays(0);
    model.setJiraUsername(std::nullopt);
    model.writePrefs();

    const QByteArray written = readFile(settingsFile());
    QVERIFY(written.contains("BV_daysField=21"));
    QVERIFY(written.contains("BV_skipNoneFound=false"));
    QVERIFY(written.contains("BV_engineeringQueryName=Bugs Created"));
    QVERIFY(written.contains("BV_queryTabIdentifier=Engineering"));
    QVERIFY(!written.contains("BV_jiraUsername"));
    QVERIFY(!written.contains("BV_sprintEndDate"));
}

void PrefsTest::unreadableStore_logsAndGivesFirstLaunchValues()
{
    // A folder where the settings file belongs can be neither read nor replaced.
    QVERIFY(QDir().mkpath(settingsFile()));
    BrevantModel model;
    mLog->clear();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    model.readPrefs();
    // With an end date the window shows a query text and a work-days line from the start.
    QVERIFY(model.sprintEndDate() && *model.sprintEndDate() >= before);
    compareChoices(model, Choices());
    model.setSprintDurationDays(30);
    model.writePrefs();
    QCOMPARE(
        mLog->lines(),
        (QStringList{QStringLiteral("\nUnexpected exception during readPrefs settings."),
                     QStringLiteral("Unexpected exception during writePrefs: the settings file ") +
                         settingsFile() + QStringLiteral(" could not be accessed")}));
    QVERIFY(QFileInfo(settingsFile()).isDir());
}

void PrefsTest::writePrefs_fileCannotBeWritten_logsIt()
{
    // A file where the settings folder belongs: the store opens empty, but nothing can be saved.
    QVERIFY(writeFile(QFileInfo(settingsFile()).path(), "not a folder"));
    BrevantModel model;
    model.setSprintDurationDays(30);
    mLog->clear();
    model.writePrefs();
    QCOMPARE(mLog->lines().size(), 1);
    QVERIFY2(mLog->lines().constFirst().startsWith(
                 QStringLiteral("Unexpected exception during writePrefs: ")),
             qPrintable(mLog->lines().constFirst()));
    QVERIFY(!QFileInfo::exists(settingsFile()));
}

void PrefsTest::damagedStore_readsWhatParsesAndIsWrittenAgain()
{
    // A hand edit that left a section header unclosed.
    const QByteArray damaged = "[General\nBV_daysField=21\nBV_jiraUsername=ann\n";
    QVERIFY(writeFile(settingsFile(), damaged));
    BrevantModel model;
    mLog->clear();

    model.readPrefs();
    QVERIFY(model.sprintEndDate());
    QCOMPARE(model.jiraUsername(), OptionalString("ann"));
    model.setSprintDurationDays(7);
    model.writePrefs();

    QCOMPARE(mLog->lines(),
             (QStringList{QStringLiteral("\nUnexpected exception during readPrefs settings."),
                          QStringLiteral("The damaged settings file was kept as ") +
                              settingsFile() + QStringLiteral(".damaged")}));
    QCOMPARE(readFile(settingsFile() + QStringLiteral(".damaged")), damaged);
    // Read back as the next launch would: from the file alone.
    const QByteArray written = readFile(settingsFile());
    const std::unique_ptr<QTemporaryDir> previous = std::move(mSettingsFolder);
    useNewSettingsFolder();
    QVERIFY(writeFile(settingsFile(), written));
    BrevantModel next;
    next.readPrefs();
    QCOMPARE(next.sprintDurationDays(), 7);
    QCOMPARE(next.sprintEndDate(), model.sprintEndDate());
}

void PrefsTest::damageNotSeenAtLaunch_successfulSaveReportsNoFailure_data()
{
    QTest::addColumn<QByteArray>("atLaunch");
    QTest::addColumn<QByteArray>("beforeQuitting");
    QTest::addColumn<QStringList>("logged");
    const QString kept = QStringLiteral("The damaged settings file was kept as %1.damaged");
    QTest::newRow("damaged in a section the choices do not use")
        << QByteArray("[General]\nBV_daysField=21\n[Other]\nno equals sign here\n") << QByteArray()
        << QStringList{QStringLiteral("\nUnexpected exception during readPrefs settings."), kept};
    QTest::newRow("damaged by hand while the program runs")
        << QByteArray("[General]\nBV_daysField=21\n")
        << QByteArray("[General\nBV_daysField=21\nkeptAlong=yes\n") << QStringList{kept};
}

void PrefsTest::damageNotSeenAtLaunch_successfulSaveReportsNoFailure()
{
    QFETCH(QByteArray, atLaunch);
    QFETCH(QByteArray, beforeQuitting);
    QFETCH(QStringList, logged);
    QVERIFY(writeFile(settingsFile(), atLaunch));
    BrevantModel model;
    mLog->clear();
    model.readPrefs();
    if (!beforeQuitting.isEmpty())
        QVERIFY(writeFile(settingsFile(), beforeQuitting));
    model.setSprintDurationDays(7);
    model.writePrefs();

    QStringList expected;
    for (const QString &line : logged)
        expected.append(line.contains(u'%') ? line.arg(settingsFile()) : line);
    QCOMPARE(mLog->lines(), expected);
    QCOMPARE(readFile(settingsFile() + QStringLiteral(".damaged")),
             beforeQuitting.isEmpty() ? atLaunch : beforeQuitting);
    const QByteArray written = readFile(settingsFile());
    QVERIFY2(written.contains("BV_daysField=7"), written.constData());
    // What the damaged file held besides the choices is saved again with them.
    QCOMPARE(written.contains("keptAlong=yes"), !beforeQuitting.isEmpty());
}

void PrefsTest::unfinishedSave_removedAtNextLaunch()
{
    QVERIFY(writeFile(settingsFile(), "[General]\nBV_daysField=21\n"));
    // As a save killed at its final rename leaves it, beside a kept damaged file.
    const QString unfinished = settingsFile() + QStringLiteral(".Ab3xYz");
    QVERIFY(writeFile(unfinished, "[General]\nBV_daysField=28\n"));
    QVERIFY(writeFile(settingsFile() + QStringLiteral(".damaged"), "[General\n"));
    BrevantModel model;
    mLog->clear();

    model.readPrefs();

    QCOMPARE(model.sprintDurationDays(), 21);
    QVERIFY(!QFileInfo::exists(unfinished));
    QVERIFY(QFileInfo::exists(settingsFile() + QStringLiteral(".damaged")));
    QCOMPARE(
        mLog->lines(),
        QStringList{QStringLiteral("Removed an unfinished save of the settings: ") + unfinished});
}

void PrefsTest::homeThatDoesNotExist_isNotMadeBySaving()
{
    const QString missing = mSettingsFolder->path() + QStringLiteral("/gone");
    const EnvironmentOverride home("HOME", QFile::encodeName(missing));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       missing + QStringLiteral("/.config"));
    BrevantModel model;
    model.readPrefs();
    mLog->clear();

    model.writePrefs();

    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("The home folder ") + missing +
                                        QStringLiteral(" does not exist; it is not created.")});
}

void PrefsTest::readPrefs_dateOutsideTheCalendar_isAbsent()
{
    const QDateTime farPast = QDateTime::fromMSecsSinceEpoch(-(qint64(1) << 62), Qt::UTC);
    QVERIFY(farPast.isValid());
    QSettings(QStringLiteral("quillfen"), QStringLiteral("brevant"))
        .setValue(QStringLiteral("BV_sprintEndDate"), farPast);
    BrevantModel model;
    const QDateTime before = QDateTime::currentDateTimeUtc();

    model.readPrefs();

    QVERIFY(model.sprintEndDate() && *model.sprintEndDate() >= before);
}

QTEST_GUILESS_MAIN(PrefsTest)
#include "tst_prefs.moc"
