// The main window driven as a user drives it, by object name, over a model with fake services.
#include "BrevantModel.h"
#include "BrevantWC.h"
#include "FakeBrowserWindow.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "TemporaryHome.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QString kSeparator = QStringLiteral("---");

// Every command has an address of its own, so the address loaded tells which command ran.
const StringDictionary kSites = {{"jiraLogin", "http://jira.test/login.jsp"},
                                 {"jiraSearch", "http://jira.test/issues/?search"},
                                 {"downloadCSV", "http://jira.test/issues/?export"},
                                 {"queryPage", "http://jira.test/query"},
                                 {"metricsPage", "http://jira.test/metrics"}};

enum class Trigger
{
    Button,
    MenuItem,
    Shortcut
};

QDateTime endDate()
{
    return QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC);
}

StringDictionary engineeringTemplates()
{
    return {{"Velocity", "velocity {startDate} {endDate} currentUser()"},
            {"Bugs", "bugs {created}"}};
}

QStringList popUpTitles(const QComboBox &popUp)
{
    QStringList titles;
    for (int i = 0; i < popUp.count(); ++i) {
        const bool separator =
            popUp.itemData(i, Qt::AccessibleDescriptionRole).toString() == u"separator";
        titles.append(separator ? kSeparator : popUp.itemText(i));
    }
    return titles;
}

StringDictionary templatesNamed(const QStringList &names)
{
    StringDictionary templates;
    for (const QString &name : names)
        templates.insert(name, name + QStringLiteral(" text"));
    return templates;
}

} // namespace

Q_DECLARE_METATYPE(Trigger)

class BrevantWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void load_noEngineeringName_adoptsFirstTemplateAndCopiesQuery();
    void load_storedEngineeringName_keepsItAndCopiesNothing();
    void load_showsModelValuesWithoutSendingThemBack_data();
    void load_showsModelValuesWithoutSendingThemBack();
    void load_storedTab_selectsItsPage_data();
    void load_storedTab_selectsItsPage();
    void sprintButtons_moveDatesAndCopyNewQuery_data();
    void sprintButtons_moveDatesAndCopyNewQuery();
    void templatePopUp_groupsByPrefix_data();
    void templatePopUp_groupsByPrefix();
    void templatePopUp_pick_setsNameAndCopiesQuery();
    void usersPopUp_listsGroupsEachFollowedBySeparator_data();
    void usersPopUp_listsGroupsEachFollowedBySeparator();
    void usersPopUp_pick_setsUserNameFromFirstGroupHoldingIt();
    void daysField_enter_readsLeadingNumber_data();
    void daysField_enter_readsLeadingNumber();
    void daysField_leavingField_appliesIt();
    void datePickers_edit_keepTimeOfDay();
    void durationPopUp_pick_setsLength();
    void tab_select_switchesTemplateFamily();
    void copyCommands_putShownTextOnClipboard();
    void notification_unknownKey_logsAndChangesNothing();
    void closedWindow_modelChangesReachNothing();
    void destroyedWindow_fieldBeingEdited_sendsNothing();
    void jiraCommands_eachControlRunsItsOwnCommand_data();
    void jiraCommands_eachControlRunsItsOwnCommand();
    void pageButtons_eachOpensItsOwnPage_data();
    void pageButtons_eachOpensItsOwnPage();
    void skipBox_click_setsTheOptionItShows();
    void userNameField_enter_reachesTheModel();
    void runningCommand_showsBusyAndEscapeStopsIt();
    void queryBox_edit_isTheQueryTyped();

private:
    BrevantWC &openWindow();
    template<typename Control> Control *control(const char *name) const
    {
        Control *found = mWindow->findChild<Control *>(QLatin1String(name));
        if (!found)
            qFatal("The window has no control named %s", name);
        return found;
    }
    void typeIntoField(const char *name, const QString &text);

    TemporaryHome mHome;
    FakeClipboard mClipboard;
    FakeWorkspace mWorkspace;
    FakeBrowserWindowFactory mBrowserWindows;
    std::unique_ptr<BrevantModel> mModel;
    std::unique_ptr<BrevantWC> mWindow;
};

void BrevantWindowTest::init()
{
    mWorkspace = FakeWorkspace();
    mBrowserWindows.record = FakeBrowserRecord();
    ModelServices services;
    services.clipboard = &mClipboard;
    services.workspace = &mWorkspace;
    services.browserWindows = &mBrowserWindows;
    mModel = std::make_unique<BrevantModel>(services);
    // A missing element fails after a short wait, not after the 15 s a slow Jira gets.
    mModel->setStepPatience(std::chrono::milliseconds(300));
    mModel->setSiteURLD(kSites);
    mModel->setEngineeringQueryTextD(engineeringTemplates());
    mModel->setIndividualQueryTextD(StringDictionary{{"Mine", "mine {endDate} currentUser()"}});
    mModel->setJiraUsersD(JiraUsersDictionary{
        {"Team B", {{"Robin Roe", "rroe"}}},
        {"Team A", {{"Alex Ash", "aash"}, {"Casey Cole", "ccole"}}},
    });
    mModel->setSprintEndDate(endDate());
    mModel->setJiraUsername(QStringLiteral("currentUser()"));
    mClipboard = FakeClipboard();
}

void BrevantWindowTest::cleanup()
{
    mWindow.reset();
    mModel.reset();
}

BrevantWC &BrevantWindowTest::openWindow()
{
    mWindow = std::make_unique<BrevantWC>(*mModel);
    mWindow->show();
    mWindow->activateWindow();
    if (!QTest::qWaitForWindowActive(mWindow.get()))
        qWarning("The window did not become active");
    return *mWindow;
}

void BrevantWindowTest::typeIntoField(const char *name, const QString &text)
{
    auto *field = control<QLineEdit>(name);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void BrevantWindowTest::load_noEngineeringName_adoptsFirstTemplateAndCopiesQuery()
{
    openWindow();
    QCOMPARE(mModel->engineeringQueryName(), OptionalString(QStringLiteral("Bugs")));
    QCOMPARE(mModel->individualQueryName(), OptionalString());
    const QString query = QStringLiteral("bugs created >= 2020-03-14 AND created <= 2020-03-27");
    QCOMPARE(mClipboard.contents, OptionalString(query));
    QCOMPARE(control<QPlainTextEdit>("queryText")->toPlainText(), query);
    QCOMPARE(control<QComboBox>("engineeringQueryPopUp")->currentText(), QStringLiteral("Bugs"));
}

void BrevantWindowTest::load_storedEngineeringName_keepsItAndCopiesNothing()
{
    mModel->setEngineeringQueryName(QStringLiteral("Velocity"));
    mModel->setSprintDurationDays(10);
    mClipboard = FakeClipboard();
    openWindow();
    QCOMPARE(mModel->engineeringQueryName(), OptionalString(QStringLiteral("Velocity")));
    QCOMPARE(mClipboard.writes, 0);
    QCOMPARE(control<QComboBox>("engineeringQueryPopUp")->currentText(),
             QStringLiteral("Velocity"));
    QCOMPARE(control<QPlainTextEdit>("queryText")->toPlainText(),
             QStringLiteral("velocity 2020-03-18 2020-03-27 currentUser()"));
    QCOMPARE(control<QLineEdit>("workDays")->text(),
             QStringLiteral("2020-03-22 11:59 PM\t=ROUND(K2-J2,0)"));
}

void BrevantWindowTest::load_showsModelValuesWithoutSendingThemBack_data()
{
    QTest::addColumn<qint64>("days");
    QTest::addColumn<QString>("durationTitle");
    QTest::addColumn<bool>("skip");
    QTest::newRow("two weeks, skip on") << qint64(14) << "2 weeks" << true;
    QTest::newRow("one day, skip off") << qint64(1) << "1 day" << false;
    QTest::newRow("ten days show as other") << qint64(10) << "Other" << false;
    QTest::newRow("negative week has no item of its own") << qint64(-7) << "Other" << true;
}

void BrevantWindowTest::load_showsModelValuesWithoutSendingThemBack()
{
    QFETCH(qint64, days);
    QFETCH(QString, durationTitle);
    QFETCH(bool, skip);
    mModel->setSprintDurationDays(days);
    mModel->setSkipNoneFound(skip);
    mModel->setJiraUsername(QStringLiteral("teamlead7"));
    openWindow();
    QCOMPARE(control<QComboBox>("sprintDurationPopUp")->currentText(), durationTitle);
    QCOMPARE(control<QLineEdit>("daysField")->text(), QString::number(days));
    QCOMPARE(control<QCheckBox>("skipNoneFound")->isChecked(), skip);
    QCOMPARE(control<QLineEdit>("jiraUsernameField")->text(), QStringLiteral("teamlead7"));
    QCOMPARE(control<QDateTimeEdit>("sprintEndDatePicker")->dateTime(), endDate());
    QCOMPARE(control<QDateTimeEdit>("sprintStartDatePicker")->dateTime(),
             endDate().addSecs((1 - days) * 86400));
    // Had a control sent its shown value back, the model would hold the control's reading.
    QCOMPARE(mModel->sprintDurationDays(), days);
    QCOMPARE(mModel->sprintEndDate(), std::optional<QDateTime>(endDate()));
}

void BrevantWindowTest::load_storedTab_selectsItsPage_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("query");
    QTest::newRow("individual") << "Individual"
                                << "individualTab"
                                << "mine 2020-03-27 currentUser()";
    QTest::newRow("engineering") << "Engineering"
                                 << "engineeringTab"
                                 << "bugs created >= 2020-03-14 AND created <= 2020-03-27";
    QTest::newRow("unknown identifier keeps the first page") << "Bogus"
                                                             << "engineeringTab"
                                                             << "";
}

void BrevantWindowTest::load_storedTab_selectsItsPage()
{
    QFETCH(QString, identifier);
    QFETCH(QString, page);
    QFETCH(QString, query);
    mModel->setQueryTabIdentifier(identifier);
    mModel->setIndividualQueryName(QStringLiteral("Mine"));
    openWindow();
    QCOMPARE(control<QTabWidget>("queryTab")->currentWidget()->objectName(), page);
    QCOMPARE(mModel->queryTabIdentifier(), OptionalString(identifier));
    QCOMPARE(control<QPlainTextEdit>("queryText")->toPlainText(), query);
}

void BrevantWindowTest::sprintButtons_moveDatesAndCopyNewQuery_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QString>("query");
    QTest::newRow("previous") << "previousSprintButton"
                              << QDateTime(QDate(2020, 3, 13), QTime(17, 30), Qt::UTC)
                              << "velocity 2020-02-29 2020-03-13 currentUser()";
    QTest::newRow("next") << "nextSprintButton"
                          << QDateTime(QDate(2020, 4, 10), QTime(17, 30), Qt::UTC)
                          << "velocity 2020-03-28 2020-04-10 currentUser()";
}

void BrevantWindowTest::sprintButtons_moveDatesAndCopyNewQuery()
{
    QFETCH(QString, button);
    QFETCH(QDateTime, end);
    QFETCH(QString, query);
    mModel->setEngineeringQueryName(QStringLiteral("Velocity"));
    openWindow();
    QTest::mouseClick(control<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(mModel->sprintEndDate(), std::optional<QDateTime>(end));
    QCOMPARE(control<QDateTimeEdit>("sprintEndDatePicker")->dateTime(), end);
    QCOMPARE(control<QDateTimeEdit>("sprintStartDatePicker")->dateTime(), end.addDays(-13));
    QCOMPARE(mClipboard.contents, OptionalString(query));
}

void BrevantWindowTest::templatePopUp_groupsByPrefix_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("sorted ignoring case, prefix compared with case")
        << QStringList{"Cycle time", "story points", "Cycle count", "Stor"}
        << QStringList{"Cycle count", "Cycle time", kSeparator, "Stor", kSeparator, "story points"};
    QTest::newRow("shared four-character prefix stays together")
        << QStringList{"Abce", "Abcd two", "Abcd one"}
        << QStringList{"Abcd one", "Abcd two", kSeparator, "Abce"};
    QTest::newRow("single key") << QStringList{"Only"} << QStringList{"Only"};
    QTest::newRow("no keys") << QStringList{} << QStringList{};
    QTest::newRow("short key against longer one")
        << QStringList{"Q1", "Q1b"} << QStringList{"Q1", kSeparator, "Q1b"};
    QTest::newRow("three characters against four")
        << QStringList{"Q1b", "Q1b2"} << QStringList{"Q1b", kSeparator, "Q1b2"};
}

void BrevantWindowTest::templatePopUp_groupsByPrefix()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, titles);
    mModel->setEngineeringQueryTextD(templatesNamed(keys));
    mModel->setIndividualQueryTextD(templatesNamed(keys));
    openWindow();
    QCOMPARE(popUpTitles(*control<QComboBox>("engineeringQueryPopUp")), titles);
    QCOMPARE(popUpTitles(*control<QComboBox>("individualQueryPopUp")), titles);
}

void BrevantWindowTest::templatePopUp_pick_setsNameAndCopiesQuery()
{
    mModel->setQueryTabIdentifier(QStringLiteral("Individual"));
    openWindow();
    auto *popUp = control<QComboBox>("individualQueryPopUp");
    mClipboard = FakeClipboard();
    // Picking the item already chosen from the open list still copies, as the command always does.
    popUp->showPopup();
    QTRY_VERIFY(popUp->view()->isVisible());
    QTest::keyClick(popUp->view(), Qt::Key_Return);
    QCOMPARE(mModel->individualQueryName(), OptionalString(QStringLiteral("Mine")));
    QCOMPARE(mClipboard.contents, OptionalString(QStringLiteral("mine 2020-03-27 currentUser()")));
}

void BrevantWindowTest::usersPopUp_listsGroupsEachFollowedBySeparator_data()
{
    QTest::addColumn<JiraUsersDictionary>("users");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two groups of two and one") << JiraUsersDictionary{
        {"Team B", {{"Robin Roe", "rroe"}}},
        {"team A", {{"casey Cole", "ccole"}, {"Alex Ash", "aash"}}},
    } << QStringList{"Alex Ash", "casey Cole", kSeparator, "Robin Roe", kSeparator}
      << "Alex Ash";
    QTest::newRow("empty group adds only its separator") << JiraUsersDictionary{
        {"Empty", {}},
        {"Full", {{"Pat Poe", "ppoe"}}},
    } << QStringList{kSeparator, "Pat Poe", kSeparator} << "Pat Poe";
    QTest::newRow("name in two groups is listed in the last") << JiraUsersDictionary{
        {"Alpha", {{"Pat Poe", "pat.alpha"}, {"Sam Sun", "ssun"}}},
        {"Beta", {{"Pat Poe", "pat.beta"}}},
    } << QStringList{"Sam Sun", kSeparator, "Pat Poe", kSeparator} << "Sam Sun";
    QTest::newRow("no users") << JiraUsersDictionary{} << QStringList{} << QString();
}

void BrevantWindowTest::usersPopUp_listsGroupsEachFollowedBySeparator()
{
    QFETCH(JiraUsersDictionary, users);
    QFETCH(QStringList, titles);
    QFETCH(QString, shown);
    mModel->setJiraUsersD(users);
    openWindow();
    QCOMPARE(popUpTitles(*control<QComboBox>("jiraUsersPopUp")), titles);
    QCOMPARE(control<QComboBox>("jiraUsersPopUp")->currentText(), shown);
}

void BrevantWindowTest::usersPopUp_pick_setsUserNameFromFirstGroupHoldingIt()
{
    mModel->setJiraUsersD(JiraUsersDictionary{
        {"Alpha", {{"Pat Poe", "pat.alpha"}, {"Sam Sun", "ssun"}}},
        {"Beta", {{"Pat Poe", "pat.beta"}}},
    });
    mModel->setEngineeringQueryName(QStringLiteral("Velocity"));
    openWindow();
    auto *popUp = control<QComboBox>("jiraUsersPopUp");
    popUp->setFocus();
    // Down from "Sam Sun" passes over the separator to "Pat Poe".
    QTest::keyClick(popUp, Qt::Key_Down);
    QCOMPARE(popUp->currentText(), QStringLiteral("Pat Poe"));
    QCOMPARE(control<QLineEdit>("jiraUsernameField")->text(), QStringLiteral("pat.alpha"));
    QCOMPARE(mModel->jiraUsername(), OptionalString(QStringLiteral("pat.alpha")));
    QCOMPARE(control<QPlainTextEdit>("queryText")->toPlainText(),
             QStringLiteral("velocity 2020-03-14 2020-03-27 pat.alpha"));
}

void BrevantWindowTest::daysField_enter_readsLeadingNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("days");
    QTest::addColumn<QString>("shown");
    QTest::newRow("blanks then a number and words") << "   21 days" << qint64(21) << "21";
    QTest::newRow("no leading digits gives zero") << "abc" << qint64(0) << "0";
    QTest::newRow("minus sign is honoured") << "-3" << qint64(-3) << "-3";
    QTest::newRow("too large clamps to the largest 32-bit value")
        << "99999999999" << qint64(2147483647) << "2147483647";
}

void BrevantWindowTest::daysField_enter_readsLeadingNumber()
{
    QFETCH(QString, typed);
    QFETCH(qint64, days);
    QFETCH(QString, shown);
    openWindow();
    typeIntoField("daysField", typed);
    QCOMPARE(mModel->sprintDurationDays(), days);
    QCOMPARE(control<QLineEdit>("daysField")->text(), shown);
}

void BrevantWindowTest::daysField_leavingField_appliesIt()
{
    openWindow();
    auto *field = control<QLineEdit>("daysField");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("7"));
    control<QLineEdit>("jiraUsernameField")->setFocus();
    QTRY_COMPARE(mModel->sprintDurationDays(), qint64(7));
    QCOMPARE(control<QComboBox>("sprintDurationPopUp")->currentText(), QStringLiteral("1 week"));
}

void BrevantWindowTest::datePickers_edit_keepTimeOfDay()
{
    openWindow();
    auto *end = control<QDateTimeEdit>("sprintEndDatePicker");
    end->setFocus();
    end->setSelectedSection(QDateTimeEdit::DaySection);
    // A date being typed reaches the model once it is complete, not one digit at a time.
    QTest::keyClicks(end, QStringLiteral("2"));
    QCOMPARE(mModel->sprintEndDate(), std::optional<QDateTime>(endDate()));
    QTest::keyClicks(end, QStringLiteral("8"));
    QTest::keyClick(end, Qt::Key_Return);
    QCOMPARE(mModel->sprintEndDate(),
             std::optional<QDateTime>(QDateTime(QDate(2020, 3, 28), QTime(17, 30), Qt::UTC)));

    auto *start = control<QDateTimeEdit>("sprintStartDatePicker");
    start->setFocus();
    start->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(start, Qt::Key_Up);
    QCOMPARE(mModel->sprintDurationDays(), qint64(13));
    QCOMPARE(start->dateTime(), QDateTime(QDate(2020, 3, 16), QTime(17, 30), Qt::UTC));
    QCOMPARE(control<QLineEdit>("daysField")->text(), QStringLiteral("13"));
    QCOMPARE(control<QComboBox>("sprintDurationPopUp")->currentText(), QStringLiteral("Other"));
}

void BrevantWindowTest::durationPopUp_pick_setsLength()
{
    openWindow();
    auto *popUp = control<QComboBox>("sprintDurationPopUp");
    popUp->setFocus();
    QTest::keyClick(popUp, Qt::Key_Down);
    QCOMPARE(popUp->currentText(), QStringLiteral("3 weeks"));
    QCOMPARE(mModel->sprintDurationDays(), qint64(21));
    QCOMPARE(control<QLineEdit>("daysField")->text(), QStringLiteral("21"));
    QCOMPARE(control<QDateTimeEdit>("sprintStartDatePicker")->dateTime(), endDate().addDays(-20));
}

void BrevantWindowTest::tab_select_switchesTemplateFamily()
{
    mModel->setIndividualQueryName(QStringLiteral("Mine"));
    openWindow();
    auto *tabs = control<QTabWidget>("queryTab");
    tabs->tabBar()->setFocus();
    QTest::keyClick(tabs->tabBar(), Qt::Key_Right);
    QCOMPARE(mModel->queryTabIdentifier(), OptionalString(QStringLiteral("Individual")));
    QCOMPARE(control<QPlainTextEdit>("queryText")->toPlainText(),
             QStringLiteral("mine 2020-03-27 currentUser()"));
    QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("individualTab"));
}

void BrevantWindowTest::copyCommands_putShownTextOnClipboard()
{
    openWindow();
    auto *query = control<QPlainTextEdit>("queryText");
    query->setFocus();
    QTest::keyClicks(query, QStringLiteral(" edited"));
    QTest::mouseClick(control<QPushButton>("clipboardButton"), Qt::LeftButton);
    QCOMPARE(mClipboard.contents, OptionalString(query->toPlainText()));
    QVERIFY(mClipboard.contents->contains(u"edited"));
    QTest::mouseClick(control<QPushButton>("copyWorkDaysButton"), Qt::LeftButton);
    QCOMPARE(mClipboard.contents,
             OptionalString(QStringLiteral("2020-03-20 11:59 PM\t=ROUND(K2-J2,0)")));
    control<QAction>("actionCopyQuery")->trigger();
    QCOMPARE(mClipboard.contents, OptionalString(query->toPlainText()));
}

void BrevantWindowTest::notification_unknownKey_logsAndChangesNothing()
{
    openWindow();
    const LogCapture log;
    mModel->updateParameter(QStringLiteral("BV_jiraUsername"), QStringLiteral("someone"));
    QCOMPARE(log.lines(), QStringList{"Unrecognized notification key: BV_jiraUsername"});
    QCOMPARE(control<QLineEdit>("jiraUsernameField")->text(), QStringLiteral("currentUser()"));
    // The keys after an unknown one are still shown.
    mModel->postNotificationName(kModelNotificationName,
                                 {{"BV_bogus", 1}, {"BV_daysField", QStringLiteral("99")}});
    QCOMPARE(log.count(QStringLiteral("Unrecognized notification key: BV_bogus")), 1);
    QCOMPARE(control<QLineEdit>("daysField")->text(), QStringLiteral("99"));
}

void BrevantWindowTest::closedWindow_modelChangesReachNothing()
{
    openWindow();
    QVERIFY(mWindow->close());
    const LogCapture log;
    mModel->nextSprint();
    mModel->updateParameter(QStringLiteral("BV_jiraUsername"), QStringLiteral("someone"));
    QCOMPARE(log.lines(), QStringList());
    QCOMPARE(control<QDateTimeEdit>("sprintEndDatePicker")->dateTime(), endDate());
    QCOMPARE(control<QLineEdit>("workDays")->text(),
             QStringLiteral("2020-03-20 11:59 PM\t=ROUND(K2-J2,0)"));
}

void BrevantWindowTest::destroyedWindow_fieldBeingEdited_sendsNothing()
{
    openWindow();
    auto *field = control<QLineEdit>("daysField");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("30"));
    // Destroying the window takes the focus from the field, which then finishes its editing.
    mWindow.reset();
    QCOMPARE(mModel->sprintDurationDays(), qint64(14));
}

void BrevantWindowTest::jiraCommands_eachControlRunsItsOwnCommand_data()
{
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("site");

    const QList<std::tuple<const char *, QString, QString, QKeySequence, QString>> commands = {
        {"log in", "jiraLoginButton", "actionJiraLogin", QKeySequence(Qt::CTRL | Qt::Key_L),
         "jiraLogin"},
        {"search", "jiraSearchButton", "actionJiraSearch", QKeySequence(Qt::CTRL | Qt::Key_F),
         "jiraSearch"},
        {"export", "downloadCSVButton", "actionDownloadCSV", QKeySequence(Qt::CTRL | Qt::Key_S),
         "downloadCSV"}};
    for (const auto &[name, button, action, keys, site] : commands) {
        QTest::addRow("%s button", name) << Trigger::Button << button << keys << site;
        QTest::addRow("%s menu item", name) << Trigger::MenuItem << action << keys << site;
        QTest::addRow("%s shortcut", name) << Trigger::Shortcut << action << keys << site;
    }
}

void BrevantWindowTest::jiraCommands_eachControlRunsItsOwnCommand()
{
    QFETCH(Trigger, trigger);
    QFETCH(QString, controlName);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, site);
    openWindow();
    // The shortcuts must work wherever the focus is, also in a text field.
    control<QLineEdit>("daysField")->setFocus();
    switch (trigger) {
    case Trigger::Button:
        QTest::mouseClick(control<QPushButton>(qPrintable(controlName)), Qt::LeftButton);
        break;
    case Trigger::MenuItem:
        control<QAction>(qPrintable(controlName))->trigger();
        break;
    case Trigger::Shortcut:
        QCOMPARE(control<QAction>(qPrintable(controlName))->shortcut(), keys);
        QTest::keySequence(QApplication::focusWidget(), keys);
        break;
    }
    QCOMPARE(mBrowserWindows.record.loads, QStringList{kSites.value(site)});
}

void BrevantWindowTest::pageButtons_eachOpensItsOwnPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("site");
    QTest::newRow("query page") << "openQueryPageButton"
                                << "queryPage";
    QTest::newRow("metrics page") << "openMetricsPageButton"
                                  << "metricsPage";
}

void BrevantWindowTest::pageButtons_eachOpensItsOwnPage()
{
    QFETCH(QString, button);
    QFETCH(QString, site);
    openWindow();
    QTest::mouseClick(control<QPushButton>(qPrintable(button)), Qt::LeftButton);
    QCOMPARE(mWorkspace.openedURLs, QList<QUrl>{QUrl(kSites.value(site))});
    QVERIFY(mBrowserWindows.record.loads.isEmpty());
}

void BrevantWindowTest::skipBox_click_setsTheOptionItShows()
{
    openWindow();
    auto *box = control<QCheckBox>("skipNoneFound");
    for (const bool expected : {true, false}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(box->isChecked(), expected);
        QCOMPARE(mModel->skipNoneFound(), expected);
    }
}

void BrevantWindowTest::userNameField_enter_reachesTheModel()
{
    openWindow();
    typeIntoField("jiraUsernameField", QStringLiteral("dev.ana"));
    QCOMPARE(mModel->jiraUsername(), std::optional<QString>(QStringLiteral("dev.ana")));
}

void BrevantWindowTest::runningCommand_showsBusyAndEscapeStopsIt()
{
    openWindow();
    auto *stop = control<QToolButton>("stopButton");
    auto *busy = control<QProgressBar>("busyIndicator");
    auto *status = control<QLabel>("statusText");
    for (const QWidget *shown : {static_cast<QWidget *>(stop), static_cast<QWidget *>(status)})
        QVERIFY(!shown->accessibleName().isEmpty());
    QVERIFY(!stop->isEnabled());

    QTest::mouseClick(control<QPushButton>("downloadCSVButton"), Qt::LeftButton);
    QVERIFY(stop->isEnabled());
    QVERIFY(busy->isVisible());
    QCOMPARE(status->text(), QStringLiteral("Opening the search page…"));

    control<QLineEdit>("daysField")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!mModel->isJiraBusy());
    QCOMPARE(status->text(), QStringLiteral("Stopped"));
    QVERIFY(!stop->isEnabled());
    QVERIFY(!busy->isVisible());
}

void BrevantWindowTest::queryBox_edit_isTheQueryTyped()
{
    openWindow();
    auto *box = control<QPlainTextEdit>("queryText");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("project = EDITED"));
    QTest::mouseClick(control<QPushButton>("jiraSearchButton"), Qt::LeftButton);
    mBrowserWindows.current->finishLoading();
    QTRY_COMPARE(mBrowserWindows.record.scripts.size(), 1);
    QCOMPARE(mBrowserWindows.record.scripts.first(),
             JiraScripts::setSearchText(QStringLiteral("project = EDITED")));
    QTest::mouseClick(control<QPushButton>("clipboardButton"), Qt::LeftButton);
    QCOMPARE(mClipboard.contents, std::optional<QString>(QStringLiteral("project = EDITED")));
}

QTEST_MAIN(BrevantWindowTest)
#include "tst_brevantwindow.moc"
