// Stand-ins for the model's platform services, recording what the model asked of them.
#pragma once

#include "Beeper.h"
#include "Clipboard.h"
#include "ModifierKeys.h"
#include "Workspace.h"

#include <QStringList>
#include <QUrl>

class FakeClipboard final : public Clipboard
{
public:
    bool writeString(const std::optional<QString> &text) override
    {
        ++writes;
        contents = text;
        return text.has_value();
    }
    std::optional<QString> contents;
    int writes = 0;
};

class FakeWorkspace final : public Workspace
{
public:
    bool openURL(const QUrl &address) override
    {
        openedURLs.append(address);
        return true;
    }
    bool openFile(const QString &path) override
    {
        openedFiles.append(path);
        return opensFiles;
    }
    bool selectFile(const QString &path, const QString &rootPath) override
    {
        selectedFiles.append(path);
        selectionRoots.append(rootPath);
        return true;
    }
    QList<QUrl> openedURLs;
    QStringList openedFiles;
    // False stands for a desktop with no application for the file's type.
    bool opensFiles = true;
    QStringList selectedFiles;
    QStringList selectionRoots;
};

class FakeBeeper final : public Beeper
{
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class FakeModifierKeys final : public ModifierKeys
{
public:
    bool isOptionHeld() const override { return optionHeld; }
    bool optionHeld = false;
};
