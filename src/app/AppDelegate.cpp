#include "AppDelegate.h"

#include "BrevantModel.h"
#include "BrevantWC.h"
#include "BrowserSession.h"
#include "DefaultFilesInstaller.h"
#include "DesktopWorkspace.h"
#include "KeyboardModifierKeys.h"
#include "SystemBeeper.h"
#include "SystemClipboard.h"
#include "WebBrowserLookup.h"
#include "WebBrowserWindowFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

void openHelpFile(const QString &packageFolder, const QString &pageName,
                  const std::function<void(bool)> &done)
{
    const QString path =
        QDir(packageFolder)
            .filePath(QStringLiteral("HelpFolder/") + pageName + QStringLiteral(".html"));
    const QUrl address =
        QFileInfo(path).isFile() ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()) : QUrl();
    if (address.isValid())
        WebBrowserLookup::openInWebBrowser(address, done);
    else if (done)
        done(false);
}

AppDelegate::AppDelegate(const QString &packageFolder, QObject *parent)
    : QObject(parent)
    , mPackageFolder(packageFolder)
{
    installModelServices();
    // aboutToQuit comes however the event loop ends: the last window closed, Quit, a session
    // end, a termination signal.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &AppDelegate::applicationWillTerminate);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::installModelServices()
{
    mClipboard = std::make_unique<SystemClipboard>();
    mWorkspace = std::make_unique<DesktopWorkspace>();
    mBeeper = std::make_unique<SystemBeeper>();
    // Makes no browser objects until the first Jira command asks for a window.
    mBrowserWindows = std::make_unique<WebBrowserWindowFactory>();
    mModifierKeys = std::make_unique<KeyboardModifierKeys>();
    ModelServices services;
    services.clipboard = mClipboard.get();
    services.workspace = mWorkspace.get();
    services.beeper = mBeeper.get();
    services.browserWindows = mBrowserWindows.get();
    services.modifierKeys = mModifierKeys.get();
    BrevantModel::setSharedServices(services);
}

void AppDelegate::applicationDidFinishLaunching()
{
    DefaultFilesInstaller(mPackageFolder).copyDefaultsFromBundleDirectory();
    BrevantModel *model = BrevantModel::sharedInstance();
    model->readPrefs();
    mWindowController = std::make_unique<BrevantWC>(*model);
    connect(mWindowController.get(), &BrevantWC::helpRequested, this, &AppDelegate::showHelp);
    mWindowController->show();
    mWindowController->raise();
    mWindowController->activateWindow();
}

void AppDelegate::applicationWillTerminate()
{
    BrevantModel *model = BrevantModel::sharedInstance();
    model->writePrefs();
    // The browser goes now, while the application object still stands: an export still being
    // fetched is ended, and the pages go before the browser profile that the application object
    // takes down with it.
    BrowserSession::abortFetches();
    model->releaseBrowserWindow();
}

BrevantWC *AppDelegate::windowController() const
{
    return mWindowController.get();
}

void AppDelegate::showHelp()
{
    openHelpFile(mPackageFolder, QStringLiteral("index"));
}
