// The embedded browser window as the Jira sequence drives it.
#pragma once

#include "FetchedResponse.h"

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class BrevantModel;

// What a page script gave back: its result, or the error that stopped it.
struct ScriptOutcome
{
    bool failed = false;
    QVariant result;
    QString error;
};

class BrowserWindow
{
public:
    using ScriptCompletion = std::function<void(const ScriptOutcome &)>;

    virtual ~BrowserWindow() = default;
    // Loads the address in the web view.
    virtual void loadURL(const QString &address) = 0;
    // Runs a script in the page's main frame; the completion runs once, on the main thread,
    // unless the window goes away first.
    virtual void runScript(const QString &script, ScriptCompletion completion) = 0;
    using AddressCompletion = std::function<void(const std::optional<QString> &address)>;
    // The address of the link with that element id in the page, or none when there is no such
    // link; the completion runs once, on the main thread, unless the window goes away first.
    virtual void readLinkAddress(const QString &elementId, AddressCompletion completion) = 0;
    // Runs a script whose failure is only logged ("Error %@", then "Result %@").
    virtual void evaluateJavaScript(const QString &script) = 0;
    // Fetches one more page of an export, as the export link itself was fetched: with the page's
    // cookies and its browser's name. The completion runs once, on the main thread, with the
    // body or the failure (an HTTP error, no answer, a timeout, a stop), unless the model goes
    // away first.
    virtual void fetchExportPage(const QUrl &address, FetchCompletion completion) = 0;
    // Ends every fetch still running, of clicked links and export pages, as failed ones.
    virtual void stopFetching() = 0;
    // Brings the window to the front; with the Option frame it first moves to (200, 200) with
    // the size 1000 by 600.
    virtual void show(bool useOptionFrame) = 0;
};

class BrowserWindowFactory
{
public:
    virtual ~BrowserWindowFactory() = default;
    // A new browser window that reports page loads, closes and fetched data to the model.
    virtual std::unique_ptr<BrowserWindow> createBrowserWindow(BrevantModel &model) = 0;
};
