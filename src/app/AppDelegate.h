// Puts the program together at launch, saves the user's choices when it quits, opens help.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Beeper;
class BrevantWC;
class BrowserWindowFactory;
class Clipboard;
class ModifierKeys;
class Workspace;

// Opens the package's help page of that name (HelpFolder/<pageName>.html) in the user's web
// browser, finding the browser without blocking the window. done, when given, runs once with
// false, nothing shown, when the page or the browser cannot be found or started.
void openHelpFile(const QString &packageFolder, const QString &pageName,
                  const std::function<void(bool)> &done = {});

class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    // packageFolder is the application package: share/quillfen_brevant beside bin/. Create it
    // after the application object: it saves the user's choices when the application quits.
    explicit AppDelegate(const QString &packageFolder, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    BrevantWC *windowController() const;
    void showHelp();

private:
    void installModelServices();

    QString mPackageFolder;
    // The platform services the shared model uses; they live as long as the delegate.
    std::unique_ptr<Clipboard> mClipboard;
    std::unique_ptr<Workspace> mWorkspace;
    std::unique_ptr<Beeper> mBeeper;
    std::unique_ptr<BrowserWindowFactory> mBrowserWindows;
    std::unique_ptr<ModifierKeys> mModifierKeys;
    std::unique_ptr<BrevantWC> mWindowController;
};
