// The real browser window against the stand-in Jira: loads, link interception, cookies copied
// for the fetch, script outcomes and failed fetches.
#include "BrowserSession.h"
#include "BrowserTestSupport.h"
#include "PageScript.h"

#include <QLineEdit>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

class TestBrowserWindow : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void load_finishedPage_reportsLoadAndShowsAddress();
    void copyURL_beforeAndAfterLoad_copiesOnlyAnAddress();
    void linkClick_realOrSynthetic_isFetchedNotFollowed_data();
    void linkClick_realOrSynthetic_isFetchedNotFollowed();
    void locationAssignment_byScript_navigatesNormally();
    void locationAssignment_afterACancelledClick_isNotIntercepted();
    void load_httpErrorPage_isAFinishedLoad_data();
    void load_httpErrorPage_isAFinishedLoad();
    void scriptAnswer_onlyTheWrappersAnswerIsSuccess_data();
    void scriptAnswer_onlyTheWrappersAnswerIsSuccess();
    void cookies_loginAndLogout_areMirroredForTheFetch();
    void runScript_outcome_reportsResultOrError_data();
    void runScript_outcome_reportsResultOrError();
    void evaluateJavaScript_failure_logsErrorAndResult();
    void fetch_httpErrorStatus_isAFailedFetch_data();
    void fetch_httpErrorStatus_isAFailedFetch();
    void close_duringFetch_bytesStillReachTheModel();

private:
    WebViewWC &openWindow();
    void loadAndWait(const QUrl &url);
    void logIn();
};

void TestBrowserWindow::initTestCase()
{
    QVERIFY(isReady());
}

void TestBrowserWindow::init()
{
    startModel();
    mModel->setSiteURLD(
        StringDictionary{{QStringLiteral("jiraLogin"), mServer.loginURL().toString()}});
}

void TestBrowserWindow::cleanup()
{
    stopModel();
}

WebViewWC &TestBrowserWindow::openWindow()
{
    mModel->webViewOpenWindow();
    Q_ASSERT(mFactory.window);
    return *mFactory.window;
}

void TestBrowserWindow::loadAndWait(const QUrl &url)
{
    WebViewWC *window = mFactory.window ? mFactory.window.data() : &openWindow();
    QSignalSpy loaded(window->webView(), &QWebEngineView::loadFinished);
    window->loadURL(url.toString());
    QVERIFY(loaded.wait(kBrowserTimeoutMs));
    QCOMPARE(loaded.last().at(0).toBool(), true);
}

void TestBrowserWindow::logIn()
{
    loadAndWait(mServer.loginURL());
    QSignalSpy loaded(mFactory.window->webView(), &QWebEngineView::loadFinished);
    submitLoginForm(*mFactory.window, QStringLiteral("dev.ana"));
    // The form's answer sends the browser on to the issue navigator.
    QTRY_COMPARE_WITH_TIMEOUT(mFactory.window->webView()->url(), mServer.searchURL(),
                              kBrowserTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && loaded.last().at(0).toBool(), kBrowserTimeoutMs);
}

void TestBrowserWindow::load_finishedPage_reportsLoadAndShowsAddress()
{
    loadAndWait(mServer.searchURL());
    QCOMPARE(mLog->count(QStringLiteral("Page finished loading")), 1);
    QVERIFY(mLog->contains(QStringLiteral("Did commit navigation")));
    QCOMPARE(mFactory.window->urlBar()->text(), mServer.searchURL().toString());
    QVERIFY(mFactory.window->customView()->isAncestorOf(mFactory.window->webView()));
}

void TestBrowserWindow::copyURL_beforeAndAfterLoad_copiesOnlyAnAddress()
{
    WebViewWC &window = openWindow();
    window.urlBar()->setText(QStringLiteral("typed by the user"));
    window.copyURL();
    QCOMPARE(mClipboard.writes, 0);

    loadAndWait(mServer.searchURL());
    window.urlBar()->setText(QStringLiteral("typed by the user"));
    window.copyURL();
    QCOMPARE(mClipboard.contents, std::optional<QString>(mServer.searchURL().toString()));
    QCOMPARE(window.urlBar()->text(), mServer.searchURL().toString());
}

void TestBrowserWindow::linkClick_realOrSynthetic_isFetchedNotFollowed_data()
{
    QTest::addColumn<QString>("click");
    QTest::newRow("dispatched mouse event")
        << QStringLiteral("var evt = new MouseEvent('click', { bubbles: true, cancelable: true, "
                          "view: window }); document.getElementById('currentCsvFields')."
                          "dispatchEvent(evt);");
    QTest::newRow("element click")
        << QStringLiteral("document.getElementById('currentCsvFields').click();");
    QTest::newRow("click on an element inside the link")
        << QStringLiteral("var inner = document.createElement('b'); inner.textContent = 'CSV';"
                          "document.getElementById('currentCsvFields').appendChild(inner);"
                          "inner.click();");
}

void TestBrowserWindow::linkClick_realOrSynthetic_isFetchedNotFollowed()
{
    QFETCH(QString, click);
    logIn();
    WebViewWC &window = *mFactory.window;
    QSignalSpy answered(&mServer, &StandinServer::exportAnswered);
    const int exportsBefore = mServer.exportRequestCount();
    const ScriptOutcome outcome = runScriptSync(window, click);
    QVERIFY2(!outcome.failed, qPrintable(outcome.error));

    QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, kBrowserTimeoutMs);
    QCOMPARE(mServer.lastExport().status, 200);
    const QByteArray body = mServer.lastExport().body;
    QVERIFY(!body.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(
        mLog->contains(
            QStringLiteral("Completion handler called with %1 data bytes").arg(body.size())),
        kBrowserTimeoutMs);
    QVERIFY(mLog->contains(QStringLiteral("externalURL is ") % mServer.exportURL({}).toString()));
    QCOMPARE(window.webView()->url(), mServer.searchURL());
    QCOMPARE(mLog->count(QStringLiteral("Page finished loading")), 2);
    QCOMPARE(mServer.exportRequestCount(), exportsBefore + 1);
    QCOMPARE(mServer.lastExport().userAgent,
             window.webView()->page()->profile()->httpUserAgent().toUtf8());
}

void TestBrowserWindow::locationAssignment_byScript_navigatesNormally()
{
    loadAndWait(mServer.searchURL());
    WebViewWC &window = *mFactory.window;
    QSignalSpy loaded(window.webView(), &QWebEngineView::loadFinished);
    runScriptSync(
        window,
        QStringLiteral("location.href = '%1';").arg(mServer.pageWithoutNavigatorURL().toString()));
    QVERIFY(loaded.wait(kBrowserTimeoutMs));
    QCOMPARE(window.webView()->url(), mServer.pageWithoutNavigatorURL());
    QCOMPARE(window.urlBar()->text(), mServer.pageWithoutNavigatorURL().toString());
    QVERIFY(!mLog->lines().join(QLatin1Char('\n')).contains(QStringLiteral("externalURL is")));
}

void TestBrowserWindow::locationAssignment_afterACancelledClick_isNotIntercepted()
{
    loadAndWait(mServer.issueURL(QStringLiteral("ABC-101")));
    WebViewWC &window = *mFactory.window;
    // The page cancels the click on its own link, so the click leads nowhere.
    const ScriptOutcome clicked = runScriptSync(
        window, QStringLiteral("const back = document.querySelector('a[href=\"/issues/\"]');"
                               "back.addEventListener('click', e => e.preventDefault());"
                               "back.click();"));
    QVERIFY2(!clicked.failed, qPrintable(clicked.error));
    // A few turns of the page, so that the click has run its course.
    for (int turn = 0; turn < 3; ++turn)
        runScriptSync(window, QStringLiteral("0"));
    QCOMPARE(window.webView()->url(), mServer.issueURL(QStringLiteral("ABC-101")));

    QSignalSpy loaded(window.webView(), &QWebEngineView::loadFinished);
    runScriptSync(window,
                  QStringLiteral("location.href = '%1';").arg(mServer.searchURL().toString()));
    QVERIFY(loaded.wait(kBrowserTimeoutMs));
    QCOMPARE(window.webView()->url(), mServer.searchURL());
    QVERIFY(!mLog->lines().join(QLatin1Char('\n')).contains(QStringLiteral("externalURL is")));
}

void TestBrowserWindow::load_httpErrorPage_isAFinishedLoad_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("not found") << 404;
    QTest::newRow("server error") << 500;
}

void TestBrowserWindow::load_httpErrorPage_isAFinishedLoad()
{
    QFETCH(int, status);
    WebViewWC &window = openWindow();
    window.loadURL(mServer.statusURL(status).toString());
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), 1,
                              kBrowserTimeoutMs);
    QCOMPARE(window.urlBar()->text(), mServer.statusURL(status).toString());
}

void TestBrowserWindow::scriptAnswer_onlyTheWrappersAnswerIsSuccess_data()
{
    QTest::addColumn<QVariant>("reply");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QString>("error");

    const auto answer = [](bool ok, const QString &key, const QVariant &value) {
        return QVariant(QVariantMap{{QStringLiteral("ok"), ok}, {key, value}});
    };
    QTest::newRow("success with a result")
        << answer(true, QStringLiteral("result"), 7) << false << QVariant(7) << QString();
    QTest::newRow("success without a result")
        << answer(true, QStringLiteral("result"), QVariant()) << false << QVariant() << QString();
    QTest::newRow("a thrown error")
        << answer(false, QStringLiteral("error"), QStringLiteral("TypeError: x is null")) << true
        << QVariant() << QStringLiteral("TypeError: x is null");
    // The page went away before the script answered.
    QTest::newRow("no answer at all") << QVariant() << true << QVariant()
                                      << QStringLiteral("The page gave no answer to the script");
    QTest::newRow("an answer not from the wrapper")
        << QVariant(QStringLiteral("ok")) << true << QVariant()
        << QStringLiteral("The page gave no answer to the script");
}

void TestBrowserWindow::scriptAnswer_onlyTheWrappersAnswerIsSuccess()
{
    QFETCH(QVariant, reply);
    QFETCH(bool, failed);
    QFETCH(QVariant, result);
    QFETCH(QString, error);
    const ScriptOutcome outcome = PageScript::outcome(reply);
    QCOMPARE(outcome.failed, failed);
    QCOMPARE(outcome.result, result);
    QCOMPARE(outcome.error, error);
}

void TestBrowserWindow::cookies_loginAndLogout_areMirroredForTheFetch()
{
    logIn();
    const auto sessionCookies = [this] {
        QList<QNetworkCookie> found;
        for (const QNetworkCookie &cookie :
             BrowserSession::instance().cookieJar()->cookiesForUrl(mServer.searchURL())) {
            if (cookie.name() == "JSESSIONID")
                found.append(cookie);
        }
        return found;
    };
    QTRY_COMPARE_WITH_TIMEOUT(sessionCookies().size(), 1, kBrowserTimeoutMs);
    QVERIFY(sessionCookies().constFirst().isHttpOnly());

    loadAndWait(mServer.logoutURL());
    QTRY_VERIFY_WITH_TIMEOUT(sessionCookies().isEmpty(), kBrowserTimeoutMs);
}

void TestBrowserWindow::runScript_outcome_reportsResultOrError_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QString>("errorStart");
    QTest::newRow("value of an assignment")
        << QStringLiteral("document.getElementById('advanced-search').value = 'a \\'b\\''") << false
        << QVariant(QStringLiteral("a 'b'")) << QString();
    QTest::newRow("statement without value")
        << QStringLiteral("document.querySelector('button.search-button').click();") << false
        << QVariant() << QString();
    QTest::newRow("missing element")
        << QStringLiteral("document.getElementById('nothing-here').click();") << true << QVariant()
        << QStringLiteral("TypeError");
    QTest::newRow("script that does not parse")
        << QStringLiteral("document.getElementById('advanced-search').value = 'it's'") << true
        << QVariant() << QStringLiteral("SyntaxError");
    QTest::newRow("thrown text") << QStringLiteral("throw 'stopped';") << true << QVariant()
                                 << QStringLiteral("stopped");
    QTest::newRow("element as result")
        << QStringLiteral("document.getElementById('advanced-search')") << false
        << QVariant(QVariantMap()) << QString();
}

void TestBrowserWindow::runScript_outcome_reportsResultOrError()
{
    QFETCH(QString, script);
    QFETCH(bool, failed);
    QFETCH(QVariant, result);
    QFETCH(QString, errorStart);
    loadAndWait(mServer.searchURL());
    const ScriptOutcome outcome = runScriptSync(*mFactory.window, script);
    QCOMPARE(outcome.failed, failed);
    QVERIFY2(outcome.error.startsWith(errorStart), qPrintable(outcome.error));
    if (result.isValid())
        QCOMPARE(outcome.result, result);
    else
        QVERIFY(outcome.result.isNull());
}

void TestBrowserWindow::evaluateJavaScript_failure_logsErrorAndResult()
{
    loadAndWait(mServer.searchURL());
    mLog->clear();
    mFactory.window->evaluateJavaScript(QStringLiteral("document.getElementById('x').click();"));
    QTRY_COMPARE_WITH_TIMEOUT(mLog->lines().size(), 2, kBrowserTimeoutMs);
    QVERIFY2(mLog->lines().at(0).startsWith(QStringLiteral("Error TypeError")),
             qPrintable(mLog->lines().at(0)));
    QCOMPARE(mLog->lines().at(1), QStringLiteral("Result (null)"));
    QCOMPARE(mBeeper.beeps, 0);
}

void TestBrowserWindow::fetch_httpErrorStatus_isAFailedFetch_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("unauthorized") << 401;
    QTest::newRow("not found") << 404;
    QTest::newRow("server error") << 500;
}

void TestBrowserWindow::fetch_httpErrorStatus_isAFailedFetch()
{
    QFETCH(int, status);
    mLog->clear();
    std::optional<FetchedResponse> fetched;
    BrowserSession::instance().fetch(
        mServer.statusURL(status), this,
        [&fetched](const FetchedResponse &response) { fetched = response; });
    QTRY_VERIFY_WITH_TIMEOUT(mLog->lines().size() >= 2, kBrowserTimeoutMs);
    // The server's error page is counted, though it is not handed on.
    QCOMPARE(mLog->lines().at(0), QStringLiteral("Completion handler called with 12 data bytes"));
    const QString error = mLog->lines().at(1);
    QVERIFY2(error.startsWith(QStringLiteral("Error retrieving requested URL: {")),
             qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("\"status\":%1").arg(status)), qPrintable(error));
    QTRY_VERIFY(fetched.has_value());
    QVERIFY(!fetched->ok);
    QCOMPARE(fetched->httpStatus, status);
    QVERIFY(fetched->body.isEmpty());
}

void TestBrowserWindow::close_duringFetch_bytesStillReachTheModel()
{
    logIn();
    mModel->setSprintEndDate(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC));
    QStringList workDays;
    mModel->addObserver(this, [&workDays](const ModelNotification &notification) {
        if (notification.userInfo.contains(QStringLiteral("BV_workDays")))
            workDays.append(notification.userInfo.value(QStringLiteral("BV_workDays")).toString());
    });
    QSignalSpy answered(&mServer, &StandinServer::exportAnswered);
    // The server runs on this thread, so the fetch is still waiting when the window closes.
    mFactory.window->runScript(
        QStringLiteral("document.getElementById('currentCsvFields').click();"),
        [this](const ScriptOutcome &) { mFactory.window->window()->close(); });
    QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, kBrowserTimeoutMs);
    QTRY_VERIFY(mFactory.window.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(workDays.size(), 1, kBrowserTimeoutMs);
    // Created is the eleventh title of the stand-in's header: column K, Resolved beside it in L.
    QVERIFY2(workDays.constFirst().endsWith(QStringLiteral("\t=ROUND(L2-K2,0)")),
             qPrintable(workDays.constFirst()));
    mModel->removeObserver(this);
}

QTEST_MAIN(TestBrowserWindow)
#include "tst_browserwindow.moc"
