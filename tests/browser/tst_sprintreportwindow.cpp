// The sprint report window as a user meets it: it follows an export from the stand-in Jira,
// copies its line, opens an issue in the browser window, and says plainly what it cannot measure.
#include "BrevantWC.h"
#include "BrowserTestSupport.h"
#include "SprintReportWC.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWebEngineView>

class TestSprintReportWindow : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void export_fromJira_showsItsNumbersAndCopiesTheLine();
    void doubleClick_onAnIssue_opensItInTheBrowserWindow();
    void openedFile_withoutCreated_saysSo();
    void openedFile_isAnalysedWhileTheWindowShowsProgress();

private:
    void exportFromJira();
    QString text(const QString &objectName) const;
    SprintReportWC &report() const { return mWindow->sprintReport(); }
    QString writeFile(const QByteArray &contents) const;

    std::unique_ptr<BrevantWC> mWindow;
};

void TestSprintReportWindow::initTestCase()
{
    QVERIFY(isReady());
}

void TestSprintReportWindow::init()
{
    startModel();
    useStandinSites();
    useStandinSprint();
    mWindow = std::make_unique<BrevantWC>(*mModel);
    mWindow->show();
}

void TestSprintReportWindow::cleanup()
{
    mWindow.reset();
    stopModel();
}

QString TestSprintReportWindow::text(const QString &objectName) const
{
    return report().findChild<QLabel *>(objectName)->text();
}

QString TestSprintReportWindow::writeFile(const QByteArray &contents) const
{
    const QString path = mHome.path() + QStringLiteral("/opened.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return {};
    return path;
}

void TestSprintReportWindow::exportFromJira()
{
    signIn([this] {
        QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("jiraLoginButton")),
                          Qt::LeftButton);
    });
    QSignalSpy shown(&report(), &SprintReportWC::reportShown);
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("downloadCSVButton")),
                      Qt::LeftButton);
    QVERIFY(shown.wait(kBrowserTimeoutMs));
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("sprintReportButton")),
                      Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&report()));
}

void TestSprintReportWindow::export_fromJira_showsItsNumbersAndCopiesTheLine()
{
    exportFromJira();
    // ABC-104 took 3 d 9 h (3 days), ABC-105 9 d 22 h (10 days), ABC-106 is still open:
    // median 6.5, rank 0.85 gives 3 + 0.85 × 7.
    QCOMPARE(text(QStringLiteral("reportTitle")), QStringLiteral("Days from Created to Resolved"));
    const QList<QLabel *> values = report().findChildren<QLabel *>();
    QStringList numbers;
    for (const QString &caption :
         {QStringLiteral("Issues"), QStringLiteral("Done (both dates)"),
          QStringLiteral("Still open (no end date)"), QStringLiteral("Median days"),
          QStringLiteral("85th percentile days"), QStringLiteral("Maximum days")}) {
        for (const QLabel *label : values) {
            if (label->accessibleName() == caption)
                numbers.append(label->text());
        }
    }
    QCOMPARE(numbers,
             (QStringList{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"),
                          QStringLiteral("6.5"), QStringLiteral("8.95"), QStringLiteral("10")}));
    const auto *issues = report().findChild<QTableView *>(QStringLiteral("reportIssues"));
    QCOMPARE(issues->model()->rowCount(), 3);
    QCOMPARE(issues->model()->index(0, 0).data().toString(), QStringLiteral("ABC-105"));
    QCOMPARE(issues->model()->index(2, 2).data().toString(), QStringLiteral("open"));

    QTest::mouseClick(report().findChild<QPushButton *>(QStringLiteral("copyReportButton")),
                      Qt::LeftButton);
    QCOMPARE(mClipboard.contents, QStringLiteral("2020-02-15\t2020-02-28\t3\t2\t6.5\t8.95\t10"));
}

void TestSprintReportWindow::doubleClick_onAnIssue_opensItInTheBrowserWindow()
{
    exportFromJira();
    auto *issues = report().findChild<QTableView *>(QStringLiteral("reportIssues"));
    const QRect slowest = issues->visualRect(issues->model()->index(0, 0));
    // A double click is two clicks and the double-click event, as the toolkit sees it.
    QTest::mouseClick(issues->viewport(), Qt::LeftButton, {}, slowest.center());
    QTest::mouseDClick(issues->viewport(), Qt::LeftButton, {}, slowest.center());
    QTRY_COMPARE_WITH_TIMEOUT(mFactory.window->webView()->url().path(),
                              QStringLiteral("/browse/ABC-105"), kBrowserTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(mFactory.window->webView()->title().contains(u"ABC-105"),
                             kBrowserTimeoutMs);
}

void TestSprintReportWindow::openedFile_withoutCreated_saysSo()
{
    const QString path = writeFile("Issue key,Summary,Resolved\r\nA-1,x,17/Feb/20 8:05 AM\r\n");
    QSignalSpy shown(&report(), &SprintReportWC::reportShown);
    report().showExport(path);
    QVERIFY(shown.wait());
    QCOMPARE(text(QStringLiteral("reportMessage")),
             QStringLiteral("The export has no \"Created\" column, so there is no span to "
                            "measure."));
    QVERIFY(!report().findChild<QPushButton *>(QStringLiteral("copyReportButton"))->isEnabled());
}

void TestSprintReportWindow::openedFile_isAnalysedWhileTheWindowShowsProgress()
{
    QByteArray csv = "Issue key,Summary,Created,Resolved\n";
    for (int i = 0; i < 200000; ++i)
        csv +=
            "A-" + QByteArray::number(i) + ",\"work, item\",17/Feb/20 8:05 AM,20/Feb/20 8:05 PM\n";
    const QString path = writeFile(csv);
    QSignalSpy shown(&report(), &SprintReportWC::reportShown);
    report().present();
    report().showExport(path);
    // The window is back in the user's hands before the analysis ends.
    QVERIFY(report().findChild<QProgressBar *>(QStringLiteral("reportProgress"))->isVisible());
    QCOMPARE(shown.count(), 0);
    QVERIFY(shown.wait(kBrowserTimeoutMs));
    QCOMPARE(report().report().issues, 200000);
    QCOMPARE(report().report().statistics->maximum, 4);
}

QTEST_MAIN(TestSprintReportWindow)
#include "tst_sprintreportwindow.moc"
