#include "BrowserTestSupport.h"

#include "BrowserSession.h"

#include <QFile>
#include <QNetworkCookieJar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <optional>

std::unique_ptr<BrowserWindow> RecordingWindowFactory::createBrowserWindow(BrevantModel &model)
{
    auto made = mFactory.createBrowserWindow(model);
    window = dynamic_cast<WebViewWC *>(made.get());
    ++created;
    return made;
}

ScriptOutcome runScriptSync(WebViewWC &window, const QString &script)
{
    std::optional<ScriptOutcome> outcome;
    window.runScript(script, [&outcome](const ScriptOutcome &result) { outcome = result; });
    if (!QTest::qWaitFor([&outcome] { return outcome.has_value(); }, kBrowserTimeoutMs))
        return {true, {}, QStringLiteral("no answer from the page")};
    return *outcome;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void submitLoginForm(WebViewWC &window, const QString &userName)
{
    const ScriptOutcome outcome = runScriptSync(
        window, QStringLiteral("document.querySelector('input[name=os_username]').value = '%1';"
                               "document.querySelector('form').submit();")
                    .arg(userName));
    QVERIFY2(!outcome.failed, qPrintable(outcome.error));
}

bool BrowserFixture::isReady()
{
    return mHome.isValid() && mServer.listen() != 0;
}

void BrowserFixture::startModel()
{
    mLog = std::make_unique<LogCapture>();
    mWorkspace = FakeWorkspace();
    mBeeper.beeps = 0;
    ModelServices services;
    services.clipboard = &mClipboard;
    services.workspace = &mWorkspace;
    services.beeper = &mBeeper;
    services.browserWindows = &mFactory;
    mModel = std::make_unique<BrevantModel>(services);
}

void BrowserFixture::useStandinSites()
{
    mModel->setSiteURLD(
        StringDictionary{{QStringLiteral("jiraLogin"), mServer.loginURL().toString()},
                         {QStringLiteral("jiraSearch"), mServer.searchURL().toString()},
                         {QStringLiteral("downloadCSV"), mServer.searchURL().toString()}});
}

void BrowserFixture::useStandinSprint()
{
    mModel->setEngineeringQueryTextD(StringDictionary{
        {QStringLiteral("Created"), QStringLiteral("project = ABC AND {created}")}});
    mModel->setEngineeringQueryName(QStringLiteral("Created"));
    mModel->setSprintEndDate(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC));
}

void BrowserFixture::signIn(const std::function<void()> &press)
{
    const int loads = mLog->count(QStringLiteral("Page finished loading"));
    press();
    QVERIFY(mFactory.window);
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), loads + 1,
                              kBrowserTimeoutMs);
    submitLoginForm(*mFactory.window, QStringLiteral("dev.ana"));
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), loads + 2,
                              kBrowserTimeoutMs);
}

QString BrowserFixture::exportPath() const
{
    return mHome.path() + QStringLiteral("/Downloads/JIRA.csv");
}

void BrowserFixture::verifyFailedStepFetchedNothing(int exportsBefore)
{
    const QStringList lines = mLog->lines();
    const qsizetype error = lines.indexOf(QRegularExpression(QStringLiteral("^Error TypeError.*")));
    QVERIFY2(error >= 0, qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(lines.value(error + 1), QStringLiteral("Result (null)"));
    QCOMPARE(mServer.exportRequestCount(), exportsBefore);
    QVERIFY(!QFile::exists(exportPath()));
}

void BrowserFixture::stopModel()
{
    mModel.reset();
    // Windows go away on the next turn of the event loop.
    QTRY_VERIFY(mFactory.window.isNull());
    BrowserSession::instance().profile()->cookieStore()->deleteAllCookies();
    QTRY_VERIFY(
        BrowserSession::instance().cookieJar()->cookiesForUrl(mServer.loginURL()).isEmpty());
    mLog.reset();
}
