// The status line as a user reads it in the main window, while the real browser window drives
// the stand-in Jira: saved, refused, stepping back over empty sprints, stopped, fetched in pages,
// cut off.
#include "BrevantWC.h"
#include "BrowserTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class TestStatusLine : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void export_afterLogin_saysWhereAndHowMany();
    void export_withoutLogin_saysLogInFirstAndKeepsTheFile();
    void skipNoneFound_twoEmptySprints_countsTheStepsBack();
    void stop_duringTheStepsBack_savesNothing();
    void export_pastTheCap_countsThePagesAndSavesThemAll();
    void searchWithSkipNoneFound_atTheCap_warnsOfLeftOutIssues();

private:
    void logIn();
    void pressExport();
    QString statusText() const;

    std::unique_ptr<BrevantWC> mWindow;
    QStringList mStatuses;
};

void TestStatusLine::initTestCase()
{
    QVERIFY(isReady());
}

void TestStatusLine::init()
{
    startModel();
    useStandinSites();
    useStandinSprint();
    mModel->addObserver(this, [this](const ModelNotification &notification) {
        const QVariant status = notification.userInfo.value(QStringLiteral("BV_status"));
        if (status.isValid())
            mStatuses.append(status.toString());
    });
    mWindow = std::make_unique<BrevantWC>(*mModel);
    mWindow->show();
    mServer.setExportCap(1000);
    QFile::remove(exportPath());
    mStatuses.clear();
}

void TestStatusLine::cleanup()
{
    mModel->removeObserver(this);
    mWindow.reset();
    stopModel();
}

QString TestStatusLine::statusText() const
{
    return mWindow->findChild<QLabel *>(QStringLiteral("statusText"))->text();
}

void TestStatusLine::pressExport()
{
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("downloadCSVButton")),
                      Qt::LeftButton);
}

void TestStatusLine::logIn()
{
    signIn([this] {
        QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("jiraLoginButton")),
                          Qt::LeftButton);
    });
}

void TestStatusLine::export_afterLogin_saysWhereAndHowMany()
{
    logIn();
    pressExport();
    // ABC-104, ABC-105 and ABC-106 were created from 2020-02-15 to 2020-02-28.
    QTRY_COMPARE_WITH_TIMEOUT(
        statusText(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"), kBrowserTimeoutMs);
    QVERIFY(mStatuses.contains(QStringLiteral("Typing the query…")));
    QVERIFY(QFile::exists(exportPath()));
}

void TestStatusLine::export_withoutLogin_saysLogInFirstAndKeepsTheFile()
{
    QVERIFY(QDir().mkpath(QFileInfo(exportPath()).path()));
    QFile earlier(exportPath());
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier export") > 0);
    earlier.close();
    pressExport();
    QTRY_COMPARE_WITH_TIMEOUT(statusText(),
                              QStringLiteral("Jira refused the export (401): log in first"),
                              kBrowserTimeoutMs);
    QFile kept(exportPath());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("earlier export"));
}

void TestStatusLine::skipNoneFound_twoEmptySprints_countsTheStepsBack()
{
    // The stand-in has no issue created between 2020-02-29 and 2020-03-27.
    mModel->setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    mModel->setSkipNoneFound(true);
    logIn();
    mStatuses.clear();
    pressExport();
    QTRY_VERIFY_WITH_TIMEOUT(statusText().startsWith(QStringLiteral("Saved ")),
                             3 * kBrowserTimeoutMs);
    QCOMPARE(mStatuses.filter(QStringLiteral("No issues")),
             (QStringList{QStringLiteral("No issues from 2020-03-14 to 2020-03-27; trying the "
                                         "sprint before (1 of 49)"),
                          QStringLiteral("No issues from 2020-02-29 to 2020-03-13; trying the "
                                         "sprint before (2 of 49)")}));
    QCOMPARE(statusText(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"));
}

void TestStatusLine::stop_duringTheStepsBack_savesNothing()
{
    mModel->setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    mModel->setSkipNoneFound(true);
    logIn();
    pressExport();
    QTRY_VERIFY_WITH_TIMEOUT(statusText().endsWith(QStringLiteral("(1 of 49)")), kBrowserTimeoutMs);
    auto *stop = mWindow->findChild<QToolButton *>(QStringLiteral("stopButton"));
    QVERIFY(stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(statusText(), QStringLiteral("Stopped"));
    QVERIFY(!stop->isEnabled());
    // Long enough for the rest of a chain: it would have saved the third sprint back by now.
    QTest::qWait(3000);
    QCOMPARE(statusText(), QStringLiteral("Stopped"));
    QVERIFY(!QFile::exists(exportPath()));
    QVERIFY(mFactory.window);
}

void TestStatusLine::export_pastTheCap_countsThePagesAndSavesThemAll()
{
    mServer.setExportCap(2);
    logIn();
    pressExport();
    QTRY_COMPARE_WITH_TIMEOUT(
        statusText(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"), kBrowserTimeoutMs);
    QVERIFY(mStatuses.contains(QStringLiteral("Fetching issues 3–4…")));
}

void TestStatusLine::searchWithSkipNoneFound_atTheCap_warnsOfLeftOutIssues()
{
    mServer.setExportCap(2);
    mModel->setSkipNoneFound(true);
    logIn();
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("jiraSearchButton")),
                      Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(statusText(),
                              QStringLiteral("Found 2 issues from 2020-02-15 to 2020-02-28; Jira "
                                             "may have left issues out, as its export stops at 2"),
                              kBrowserTimeoutMs);
}

QTEST_MAIN(TestStatusLine)
#include "tst_statusline.moc"
