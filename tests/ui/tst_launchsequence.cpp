// The delegate's launch sequence in this process, on a first run: the package's files
// installed before the model reads them, the window filled from them, and no browser engine
// until a Jira command needs one.
#include "AppDelegate.h"
#include "BrevantModel.h"
#include "BrevantWC.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

QString supportFolder(const QString &home)
{
    return home + QStringLiteral("/Library/Application Support/quillfen_brevant");
}

// The processes whose parent is this one, read from /proc.
QStringList childCommands()
{
    QStringList commands;
    const qint64 self = QCoreApplication::applicationPid();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs)) {
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(stat.readAll());
        // "pid (command) state ppid ...": the command may hold blanks, so split after it.
        const qsizetype open = text.indexOf(u'(');
        const qsizetype close = text.lastIndexOf(u')');
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (open > 0 && close > open && rest.size() > 1 && rest[1].toLongLong() == self)
            commands.append(text.mid(open + 1, close - open - 1));
    }
    return commands;
}

bool webViewExists()
{
    const QWidgetList widgets = QApplication::allWidgets();
    return std::any_of(widgets.cbegin(), widgets.cend(),
                       [](const QWidget *widget) { return widget->inherits("QWebEngineView"); });
}

} // namespace

class LaunchSequenceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void launch_firstRun_installsFilesFillsWindowAndStartsNoBrowser();

private:
    TemporaryHome mHome;
};

void LaunchSequenceTest::launch_firstRun_installsFilesFillsWindowAndStartsNoBrowser()
{
    QCoreApplication::setOrganizationName(QStringLiteral("quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("brevant"));
    QVERIFY(!QFileInfo::exists(supportFolder(mHome.path())));
    AppDelegate delegate(qEnvironmentVariable("BREVANT_PACKAGE_DIR"));
    delegate.applicationDidFinishLaunching();

    for (const char *name : {"EngineeringQueryText", "IndividualQueryText", "JiraUsers", "SiteURL"})
        QVERIFY(QFileInfo::exists(supportFolder(mHome.path()) + u'/' + QLatin1String(name) +
                                  QStringLiteral(".plist")));
    BrevantWC *window = delegate.windowController();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The model read the installed files: the pop-ups list them, and the first template has
    // been adopted with its query left on the clipboard.
    const auto *templates = window->findChild<QComboBox *>(QStringLiteral("engineeringQueryPopUp"));
    QVERIFY(templates->count() > 0);
    QVERIFY(window->findChild<QComboBox *>(QStringLiteral("jiraUsersPopUp"))->count() > 0);
    QCOMPARE(BrevantModel::sharedInstance()->engineeringQueryName(),
             OptionalString(templates->itemText(0)));
    const QString query =
        window->findChild<QPlainTextEdit *>(QStringLiteral("queryText"))->toPlainText();
    QVERIFY(!query.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), query);
    // Nothing was saved before, so the user name is the default one.
    QCOMPARE(BrevantModel::sharedInstance()->jiraUsername(),
             OptionalString(QStringLiteral("currentUser()")));

    QCoreApplication::processEvents();
    QVERIFY2(!webViewExists(), "a web view exists before any Jira command");
    QVERIFY2(childCommands().filter(QStringLiteral("WebEngine")).isEmpty(),
             "the browser engine started before any Jira command");

    // The first Jira command brings the browser window, made by the factory the delegate gave
    // the model.
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("jiraLoginButton")),
                      Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(webViewExists(), 30000);
}

QTEST_MAIN(LaunchSequenceTest)
#include "tst_launchsequence.moc"
