// The Jira commands and the timed script chain, driven against a fake browser window with the
// real timers.
#include "BrevantModel.h"
#include "FakeBrowserWindow.h"
#include "JiraScripts.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "TemporaryHome.h"

#include <QEventLoop>
#include <QJSEngine>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kLoginPage = QStringLiteral("http://127.0.0.1:9/login.jsp");
const QString kSearchPage = QStringLiteral("http://127.0.0.1:9/issues/?jql=");
const QString kExportPage = QStringLiteral("http://127.0.0.1:9/issues/?export");
const QString kQuery = QStringLiteral("project = ABC AND status = 'In Progress'");

// The scripts as Jira's pages need them, written out here independently of the program.
const QString kSetText = QStringLiteral("document.getElementById('advanced-search').value = "
                                        "'project = ABC AND status = \\'In Progress\\''");
const QString kSearch = QStringLiteral("document.querySelector('button.aui-item.aui-button.aui-"
                                       "button-subtle.search-button').click();");
const QString kExportMenu =
    QStringLiteral("document.getElementsByClassName('aui-button header-views header-operations "
                   "aui-dropdown-trigger standard lnk no-icon')[0].click();");
const QString kCsvExport = QStringLiteral("var evt = new MouseEvent('click', { bubbles: true, "
                                          "cancelable: true, view: window });") +
                           QString(25, QLatin1Char(' ')) +
                           QStringLiteral("document.getElementById('currentCsvFields')."
                                          "dispatchEvent(evt);");

constexpr int kTimeout = 5000;

enum class Command
{
    Login,
    Search,
    Export
};

QStringList distinctInOrder(QStringList scripts)
{
    scripts.removeDuplicates();
    return scripts;
}

ScriptOutcome failure(const QString &error)
{
    return ScriptOutcome{true, QVariant(), error};
}

// Reports every script the model runs in any of its windows, so that a wait ends on the step
// itself instead of on the next poll.
class ObservedWindowFactory final : public QObject, public BrowserWindowFactory
{
    Q_OBJECT

public:
    explicit ObservedWindowFactory(BrowserWindowFactory &windows)
        : mWindows(windows)
    {
    }
    std::unique_ptr<BrowserWindow> createBrowserWindow(BrevantModel &model) override;

Q_SIGNALS:
    void scriptRun();

private:
    BrowserWindowFactory &mWindows;
};

class ObservedWindow final : public BrowserWindow
{
public:
    ObservedWindow(std::unique_ptr<BrowserWindow> window, ObservedWindowFactory &factory)
        : mWindow(std::move(window))
        , mFactory(factory)
    {
    }
    void loadURL(const QString &address) override { mWindow->loadURL(address); }
    void runScript(const QString &script, ScriptCompletion completion) override
    {
        mWindow->runScript(script, std::move(completion));
        Q_EMIT mFactory.scriptRun();
    }
    void evaluateJavaScript(const QString &script) override { mWindow->evaluateJavaScript(script); }
    void fetchExportPage(const QUrl &address, FetchCompletion completion) override
    {
        mWindow->fetchExportPage(address, std::move(completion));
    }
    void stopFetching() override { mWindow->stopFetching(); }
    void readLinkAddress(const QString &elementId, AddressCompletion completion) override
    {
        mWindow->readLinkAddress(elementId, std::move(completion));
    }
    void show(bool useOptionFrame) override { mWindow->show(useOptionFrame); }

private:
    std::unique_ptr<BrowserWindow> mWindow;
    ObservedWindowFactory &mFactory;
};

std::unique_ptr<BrowserWindow> ObservedWindowFactory::createBrowserWindow(BrevantModel &model)
{
    return std::make_unique<ObservedWindow>(mWindows.createBrowserWindow(model), *this);
}

class SignallingBeeper final : public QObject, public Beeper
{
    Q_OBJECT

public:
    void beep() override
    {
        ++beeps;
        Q_EMIT beeped();
    }
    int beeps = 0;

Q_SIGNALS:
    void beeped();
};

} // namespace

Q_DECLARE_METATYPE(Command)

class JiraSequenceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void commands_loadTheirPageAndArm_data();
    void commands_loadTheirPageAndArm();
    void pageLoad_beforeAnySearch_onlyLogs();
    void search_optionOff_endsAfterSearch();
    void search_optionOn_goesOnToExport();
    void export_runsAllFourScriptsWithoutBlocking();
    void chain_failingStep_logsBothLinesAndBeepsOnce_data();
    void chain_failingStep_logsBothLinesAndBeepsOnce();
    void chain_failingExportMenu_loggedTwiceBeepsOnce();
    void chain_windowClosedMidway_endsSilently();
    void chain_takesQueryTextOfTheLoadMoment();
    void chain_noTemplateSelected_typesNoStaleQuery_data();
    void chain_noTemplateSelected_typesNoStaleQuery();
    void openWindow_optionFrame_data();
    void openWindow_optionFrame();
    void setTextScript_assignsExactlyTheQuery_data();
    void setTextScript_assignsExactlyTheQuery();

private:
    void run(Command command);
    // Runs the event loop until the model has run this many scripts in all; false when it has
    // not in time.
    bool waitForScripts(qsizetype count);
    bool waitForBeep();
    // Waits past the moment a further step of a chain would have run.
    void waitPastNextStep();
    QStringList errorLines() const;

    TemporaryHome mHome;
    std::unique_ptr<LogCapture> mLog;
    std::unique_ptr<FakeBrowserWindowFactory> mWindows;
    std::unique_ptr<ObservedWindowFactory> mObservedWindows;
    SignallingBeeper mBeeper;
    FakeModifierKeys mKeys;
    std::unique_ptr<BrevantModel> mModel;
    QTimer mTicker;
};

void JiraSequenceTest::init()
{
    mLog = std::make_unique<LogCapture>();
    mWindows = std::make_unique<FakeBrowserWindowFactory>();
    mObservedWindows = std::make_unique<ObservedWindowFactory>(*mWindows);
    mBeeper.beeps = 0;
    mKeys = FakeModifierKeys();
    ModelServices services;
    services.browserWindows = mObservedWindows.get();
    services.beeper = &mBeeper;
    services.modifierKeys = &mKeys;
    mModel = std::make_unique<BrevantModel>(services);
    // A missing element fails after a short wait, not after the 15 s a slow Jira gets.
    mModel->setStepPatience(std::chrono::milliseconds(300));
    mModel->setSiteURLD(StringDictionary{{QStringLiteral("jiraLogin"), kLoginPage},
                                         {QStringLiteral("jiraSearch"), kSearchPage},
                                         {QStringLiteral("downloadCSV"), kExportPage}});
    mModel->setEngineeringQueryTextD(StringDictionary{{QStringLiteral("Open work"), kQuery}});
    mModel->setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    mModel->setEngineeringQueryName(QStringLiteral("Open work"));
    mTicker.setInterval(5);
    connect(&mTicker, &QTimer::timeout, this, [this] { ++mWindows->record.ticks; });
    mTicker.start();
    mLog->clear();
}

void JiraSequenceTest::cleanup()
{
    mTicker.stop();
    mTicker.disconnect();
    mModel.reset();
    mObservedWindows.reset();
    mWindows.reset();
    mLog.reset();
}

void JiraSequenceTest::run(Command command)
{
    switch (command) {
    case Command::Login:
        mModel->jiraLogin();
        break;
    case Command::Search:
        mModel->jiraSearch();
        break;
    case Command::Export:
        mModel->downloadCSV();
        break;
    }
}

bool JiraSequenceTest::waitForScripts(qsizetype count)
{
    QSignalSpy scriptRun(mObservedWindows.get(), &ObservedWindowFactory::scriptRun);
    while (mWindows->record.scripts.size() < count) {
        if (!scriptRun.wait(kTimeout))
            return false;
    }
    return true;
}

bool JiraSequenceTest::waitForBeep()
{
    QSignalSpy beeped(&mBeeper, &SignallingBeeper::beeped);
    return mBeeper.beeps > 0 || beeped.wait(kTimeout);
}

void JiraSequenceTest::waitPastNextStep()
{
    // A step that does not come sends no signal; only the time it would have taken ends this.
    QEventLoop loop;
    QTimer::singleShot(800, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QStringList JiraSequenceTest::errorLines() const
{
    QStringList lines = mLog->lines();
    lines.removeIf([](const QString &line) {
        return !line.startsWith(QStringLiteral("Error ")) &&
               !line.startsWith(QStringLiteral("Result "));
    });
    return lines;
}

void JiraSequenceTest::commands_loadTheirPageAndArm_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("siteKey");
    QTest::addColumn<bool>("addressPresent");
    QTest::addColumn<QStringList>("loads");
    QTest::addColumn<bool>("armed");

    QTest::newRow("login loads its page, arms nothing")
        << Command::Login << "jiraLogin" << true << QStringList{kLoginPage} << false;
    QTest::newRow("search loads its page and arms")
        << Command::Search << "jiraSearch" << true << QStringList{kSearchPage} << true;
    QTest::newRow("export loads its page and arms")
        << Command::Export << "downloadCSV" << true << QStringList{kExportPage} << true;
    QTest::newRow("search without address loads nothing, still arms")
        << Command::Search << "jiraSearch" << false << QStringList() << true;
    QTest::newRow("export with empty address loads nothing, still arms")
        << Command::Export << "downloadCSV" << false << QStringList() << true;
}

void JiraSequenceTest::commands_loadTheirPageAndArm()
{
    QFETCH(Command, command);
    QFETCH(QString, siteKey);
    QFETCH(bool, addressPresent);
    QFETCH(QStringList, loads);
    QFETCH(bool, armed);

    if (!addressPresent) {
        StringDictionary sites = *mModel->siteURLD();
        sites.insert(siteKey, QString());
        mModel->setSiteURLD(sites);
    }
    run(command);
    QCOMPARE(mWindows->created, 1);
    QCOMPARE(mWindows->record.loads, loads);

    // The same window serves the next command, and is not brought forward again.
    run(command);
    QCOMPARE(mWindows->created, 1);
    QCOMPARE(mWindows->record.shows.size(), 1);

    mWindows->current->finishLoading();
    QVERIFY(mLog->contains(QStringLiteral("Page finished loading")));
    if (armed) {
        QVERIFY(waitForScripts(1));
        QCOMPARE(mWindows->record.scripts, QStringList{kSetText});
    } else {
        waitPastNextStep();
        QVERIFY(mWindows->record.scripts.isEmpty());
    }
}

void JiraSequenceTest::pageLoad_beforeAnySearch_onlyLogs()
{
    mModel->jiraLogin();
    mWindows->current->finishLoading();
    mWindows->current->finishLoading();
    waitPastNextStep();
    QCOMPARE(mLog->lines(), QStringList(2, QStringLiteral("Page finished loading")));
    QVERIFY(mWindows->record.scripts.isEmpty());

    // Signing in after a search disarms: the login page and the page after it get no chain.
    mModel->jiraSearch();
    mModel->jiraLogin();
    mWindows->current->finishLoading();
    mWindows->current->finishLoading();
    waitPastNextStep();
    QVERIFY(mWindows->record.scripts.isEmpty());
    QCOMPARE(mBeeper.beeps, 0);

    // Once armed, every page load starts the chain.
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(1));
    QCOMPARE(mWindows->record.scripts, QStringList{kSetText});
}

void JiraSequenceTest::search_optionOff_endsAfterSearch()
{
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(2));
    waitPastNextStep();
    QCOMPARE(mWindows->record.scripts, (QStringList{kSetText, kSearch}));
    QVERIFY(mWindows->record.evaluated.isEmpty());
    QCOMPARE(mBeeper.beeps, 0);
}

void JiraSequenceTest::search_optionOn_goesOnToExport()
{
    mModel->setSkipNoneFound(true);
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(4));
    QCOMPARE(mWindows->record.scripts, (QStringList{kSetText, kSearch, kExportMenu, kCsvExport}));
}

void JiraSequenceTest::export_runsAllFourScriptsWithoutBlocking()
{
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(4));
    QCOMPARE(mWindows->record.scripts, (QStringList{kSetText, kSearch, kExportMenu, kCsvExport}));
    QCOMPARE(mWindows->record.evaluated, QStringList{kExportMenu});
    // The wait for the menu leaves the event loop running: the ticker went on meanwhile.
    const QList<int> &ticks = mWindows->record.scriptTicks;
    QVERIFY2(ticks[3] - ticks[2] >= 10, qPrintable(QString::number(ticks[3] - ticks[2])));
    QVERIFY(errorLines().isEmpty());
    QCOMPARE(mBeeper.beeps, 0);
}

void JiraSequenceTest::chain_failingStep_logsBothLinesAndBeepsOnce_data()
{
    QTest::addColumn<QString>("failingScript");
    QTest::addColumn<int>("scriptsRun");

    QTest::newRow("set-text fails") << kSetText << 1;
    QTest::newRow("search fails") << kSearch << 2;
    QTest::newRow("csv export fails") << kCsvExport << 4;
}

void JiraSequenceTest::chain_failingStep_logsBothLinesAndBeepsOnce()
{
    QFETCH(QString, failingScript);
    QFETCH(int, scriptsRun);

    mWindows->record.failures.insert(failingScript,
                                     failure(QStringLiteral("TypeError: element is null")));
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    QVERIFY(waitForBeep());
    waitPastNextStep();
    // The failing step was tried again while it waited for the page, and no step came after it.
    const QStringList scripts = mWindows->record.scripts;
    QCOMPARE(distinctInOrder(scripts).size(), scriptsRun);
    QCOMPARE(scripts.indexOf(failingScript), scriptsRun - 1);
    QCOMPARE(scripts.last(), failingScript);
    QCOMPARE(errorLines(), (QStringList{QStringLiteral("Error TypeError: element is null"),
                                        QStringLiteral("Result (null)")}));
    QCOMPARE(mBeeper.beeps, 1);

    // The model stays armed in export mode: the next page load starts over.
    mWindows->record.failures.clear();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(scripts.size() + 4));
    QCOMPARE(mWindows->record.scripts.size(), scripts.size() + 4);
}

void JiraSequenceTest::chain_failingExportMenu_loggedTwiceBeepsOnce()
{
    mWindows->record.failures.insert(kExportMenu, failure(QStringLiteral("no such menu")));
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    QVERIFY(waitForBeep());
    waitPastNextStep();
    QCOMPARE(distinctInOrder(mWindows->record.scripts),
             (QStringList{kSetText, kSearch, kExportMenu}));
    QCOMPARE(mWindows->record.evaluated, QStringList{kExportMenu});
    const QStringList once{QStringLiteral("Error no such menu"), QStringLiteral("Result (null)")};
    QCOMPARE(errorLines(), once + once);
    QCOMPARE(mBeeper.beeps, 1);
}

void JiraSequenceTest::chain_windowClosedMidway_endsSilently()
{
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(2));
    // Between the Search step and the export step.
    QPointer<FakeBrowserWindow> closing = mWindows->current;
    QSignalSpy destroyed(closing.get(), &QObject::destroyed);
    closing->close();
    QVERIFY2(closing, "the window must outlive its own close notice");
    QVERIFY(destroyed.wait(kTimeout));
    waitPastNextStep();
    QCOMPARE(mWindows->record.scripts.size(), 2);
    QVERIFY(mWindows->record.evaluated.isEmpty());
    QCOMPARE(mBeeper.beeps, 0);
    QVERIFY(errorLines().isEmpty());

    // The next command opens a new window.
    mModel->downloadCSV();
    QCOMPARE(mWindows->created, 2);
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(6));
    QCOMPARE(mWindows->record.scripts.size(), 6);
}

void JiraSequenceTest::chain_takesQueryTextOfTheLoadMoment()
{
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    // Changed before the set-text step runs, after the page has loaded.
    mModel->setEngineeringQueryTextD(
        StringDictionary{{QStringLiteral("Other"), QStringLiteral("x")}});
    mModel->setEngineeringQueryName(QStringLiteral("Other"));
    QVERIFY(waitForScripts(2));
    QCOMPARE(mWindows->record.scripts.first(), kSetText);
}

void JiraSequenceTest::chain_noTemplateSelected_typesNoStaleQuery_data()
{
    QTest::addColumn<std::optional<QString>>("templateName");
    QTest::newRow("a name no template has") << std::optional<QString>(QStringLiteral("Gone"));
    QTest::newRow("an empty name") << std::optional<QString>(QString());
}

void JiraSequenceTest::chain_noTemplateSelected_typesNoStaleQuery()
{
    QFETCH(std::optional<QString>, templateName);
    mModel->setEngineeringQueryName(templateName);
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    QVERIFY(waitForScripts(1));
    QCOMPARE(mWindows->record.scripts.first(),
             QStringLiteral("document.getElementById('advanced-search').value = ''"));
}

void JiraSequenceTest::openWindow_optionFrame_data()
{
    QTest::addColumn<bool>("optionHeld");
    QTest::newRow("option held uses the option frame") << true;
    QTest::newRow("no option keeps the layout frame") << false;
}

void JiraSequenceTest::openWindow_optionFrame()
{
    QFETCH(bool, optionHeld);
    mKeys.optionHeld = optionHeld;
    mModel->jiraLogin();
    QCOMPARE(mWindows->record.shows, QList<bool>{optionHeld});
    // An existing window is left where it is, whatever is held.
    mKeys.optionHeld = !optionHeld;
    mModel->downloadCSV();
    QCOMPARE(mWindows->record.shows, QList<bool>{optionHeld});
}

void JiraSequenceTest::setTextScript_assignsExactlyTheQuery_data()
{
    QTest::addColumn<std::optional<QString>>("query");
    QTest::addColumn<QString>("assigned");

    const auto row = [](const char *name, const QString &query) {
        QTest::newRow(name) << std::optional<QString>(query) << query;
    };
    row("plain jql", QStringLiteral("project = ABC ORDER BY created"));
    row("single-quoted literal", QStringLiteral("status = 'In Progress'"));
    row("double quotes", QStringLiteral("summary ~ \"login page\""));
    row("backslashes", QStringLiteral("text ~ \"C:\\\\temp\\\\x\" AND a = '\\'"));
    row("line breaks", QStringLiteral("project = ABC\r\nAND status = Done\nORDER BY key\r"));
    row("unicode line separators", QStringLiteral("a = 1\u2028b = 2\u2029c = 3"));
    row("tab and other controls", QStringLiteral("a\tb") + QChar(0x01) + QChar(0x1f));
    row("script breaking out", QStringLiteral("'; globalThis.stolen = 1; '"));
    row("template literal and comment", QStringLiteral("`${x}` // not code */"));
    row("non-latin text", QStringLiteral("summary ~ \"Größe 日本\""));
    row("empty text", QString());
    QTest::newRow("no text leaves the box empty") << std::optional<QString>() << QString();
}

void JiraSequenceTest::setTextScript_assignsExactlyTheQuery()
{
    QFETCH(std::optional<QString>, query);
    QFETCH(QString, assigned);

    QJSEngine engine;
    const QJSValue setUp = engine.evaluate(
        QStringLiteral("var assignments = [];"
                       "var document = { getElementById: function (id) {"
                       "  var element = {};"
                       "  Object.defineProperty(element, 'value', { set: function (v) {"
                       "    assignments.push({ id: id, value: v }); } });"
                       "  return element; } };"));
    QVERIFY(!setUp.isError());

    const QString script = JiraScripts::setSearchText(query);
    QVERIFY2(!script.contains(QLatin1Char('\n')) && !script.contains(QLatin1Char('\r')),
             qPrintable(script));
    const QJSValue outcome = engine.evaluate(script);
    QVERIFY2(!outcome.isError(), qPrintable(outcome.toString() + QStringLiteral(": ") + script));
    const QJSValue assignments = engine.globalObject().property(QStringLiteral("assignments"));
    QCOMPARE(assignments.property(QStringLiteral("length")).toInt(), 1);
    QCOMPARE(assignments.property(0).property(QStringLiteral("id")).toString(),
             QStringLiteral("advanced-search"));
    QCOMPARE(assignments.property(0).property(QStringLiteral("value")).toString(), assigned);
    QVERIFY(!engine.globalObject().hasProperty(QStringLiteral("stolen")));
}

QTEST_GUILESS_MAIN(JiraSequenceTest)
#include "tst_jirasequence.moc"
