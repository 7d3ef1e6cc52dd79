// Puts the program together at launch, saves the user's choices when it quits, opens help.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class BrevantWC;

class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    // packageFolder is the application package: share/quillfen_brevant beside bin/.
    explicit AppDelegate(const QString &packageFolder, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    BrevantWC *windowController() const;
    void showHelp();

    // Installs or refreshes the default configuration files in the support folder; returns the
    // folder, or none when there is no folder path.
    std::optional<QString> copyDefaultsFromBundleDirectory();
    void copyBundleResource(const QString &resourcePath, const QString &folderPath);

private:
    QString mPackageFolder;
    std::unique_ptr<BrevantWC> mWindowController;
};
