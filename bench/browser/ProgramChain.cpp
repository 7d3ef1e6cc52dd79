#include "ProgramChain.h"

#include "BrevantWC.h"
#include "PageWaits.h"
#include "StandinServer.h"

#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

namespace {

ModelServices servicesOf(Beeper &beeper, BrowserWindowFactory &windows)
{
    ModelServices services;
    services.beeper = &beeper;
    services.browserWindows = &windows;
    return services;
}

void configure(BrevantModel &model, const StandinServer &server)
{
    model.setSiteURLD(
        StringDictionary{{QStringLiteral("jiraLogin"), server.loginURL().toString()},
                         {QStringLiteral("downloadCSV"), server.searchURL().toString()}});
    model.setEngineeringQueryTextD(
        StringDictionary{{QStringLiteral("bench"), QStringLiteral("project = ABC AND {created}")}});
    model.setEngineeringQueryName(QStringLiteral("bench"));
    model.setSprintEndDate(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC));
}

} // namespace

ProgramChain::ProgramChain(ExportMoments &moments, const StandinServer &server)
    : mLogHook(moments)
    , mModel(servicesOf(mBeeper, mWindows))
{
    // The window shows what the model holds when it opens, as after the program's launch.
    configure(mModel, server);
    mMainWindow = std::make_unique<BrevantWC>(mModel);
    mMainWindow->show();
}

ProgramChain::~ProgramChain() = default;

bool ProgramChain::logIn()
{
    clickButton("jiraLoginButton");
    return mWindows.window && PageWaits::logInOnceLoaded(*mWindows.window->webView()->page());
}

void ProgramChain::pressExportCSV()
{
    // One command at a time: the last export is handled in full before the next press counts.
    waitUntilIdle();
    clickButton("downloadCSVButton");
}

void ProgramChain::waitUntilIdle()
{
    if (!mModel.isJiraBusy())
        return;
    QEventLoop loop;
    mModel.addObserver(&loop, [this, &loop](const ModelNotification &) {
        if (!mModel.isJiraBusy())
            loop.quit();
    });
    QTimer::singleShot(kBrowserTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    mModel.removeObserver(&loop);
}

QString ProgramChain::queryText() const
{
    return mMainWindow->findChild<QPlainTextEdit *>(QStringLiteral("queryText"))->toPlainText();
}

void ProgramChain::runScript(const QString &script, std::function<void()> answered)
{
    mWindows.window->runScript(script, [answered](const ScriptOutcome &) { answered(); });
}

void ProgramChain::clickButton(const char *name)
{
    QTest::mouseClick(mMainWindow->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
}
