// A browser window that runs no page: it records what the model asks of it, answers scripts on
// the next turn of the event loop as a real web view would, and lets a test report page loads and
// a close. What it records outlives the window, which the model destroys on a close.
#pragma once

#include "BrevantModel.h"
#include "BrowserWindow.h"
#include "JiraScripts.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>

struct FakeBrowserRecord
{
    QStringList loads;
    // Scripts run with a completion, and scripts run for their side effect only.
    QStringList scripts;
    QStringList evaluated;
    QList<bool> shows;
    int fetchStops = 0;
    // The export link's address as each read finds it; once these are used up, linkAddress.
    QList<std::optional<QString>> linkAddresses;
    std::optional<QString> linkAddress;
    QStringList linkReads;
    // Scripts that fail with this outcome; every other script succeeds without a result.
    QHash<QString, ScriptOutcome> failures;
    // Event-loop turns seen by the test's ticker when each script was run.
    QList<int> scriptTicks;
    int ticks = 0;

    // Scripts that fail this many more times with a missing element, as on a slow page, and then
    // succeed.
    QHash<QString, int> slowScripts;

    // Export pages asked for and not yet answered, oldest first; a test answers them.
    struct PageFetch
    {
        QUrl address;
        FetchCompletion completion;
    };
    QList<PageFetch> pageFetches;
    QList<QUrl> pageAddresses;

    ScriptOutcome outcomeFor(const QString &script)
    {
        if (slowScripts.value(script) > 0) {
            --slowScripts[script];
            return {true, {}, QStringLiteral("TypeError: the element is not there yet")};
        }
        return failures.value(script);
    }
};

class FakeBrowserWindow final : public QObject, public BrowserWindow
{
public:
    FakeBrowserWindow(BrevantModel &model, FakeBrowserRecord &record)
        : mModel(model)
        , mRecord(record)
    {
    }

    void loadURL(const QString &address) override { mRecord.loads.append(address); }

    void runScript(const QString &script, ScriptCompletion completion) override
    {
        mRecord.scripts.append(script);
        mRecord.scriptTicks.append(mRecord.ticks);
        const ScriptOutcome outcome = mRecord.outcomeFor(script);
        QTimer::singleShot(0, this, [completion, outcome] { completion(outcome); });
    }

    void readLinkAddress(const QString &elementId, AddressCompletion completion) override
    {
        const std::optional<QString> address = mRecord.linkAddresses.isEmpty()
                                                   ? mRecord.linkAddress
                                                   : mRecord.linkAddresses.takeFirst();
        mRecord.linkReads.append(elementId);
        QTimer::singleShot(0, this, [completion, address] { completion(address); });
    }

    void evaluateJavaScript(const QString &script) override
    {
        mRecord.evaluated.append(script);
        const ScriptOutcome outcome = mRecord.outcomeFor(script);
        // As the real window does: a failure is logged, nothing else.
        QTimer::singleShot(0, this, [outcome] {
            if (outcome.failed)
                JiraScripts::logFailure(outcome);
        });
    }

    void fetchExportPage(const QUrl &address, FetchCompletion completion) override
    {
        mRecord.pageAddresses.append(address);
        mRecord.pageFetches.append({address, std::move(completion)});
    }

    void stopFetching() override { ++mRecord.fetchStops; }
    void show(bool useOptionFrame) override { mRecord.shows.append(useOptionFrame); }

    void finishLoading() { mModel.webViewPageDidLoad(); }

    // Reports the close and then goes on touching itself, as a closing window does.
    void close()
    {
        mModel.webViewWindowWillClose();
        mClosed = true;
    }

private:
    BrevantModel &mModel;
    FakeBrowserRecord &mRecord;
    bool mClosed = false;
};

class FakeBrowserWindowFactory final : public BrowserWindowFactory
{
public:
    std::unique_ptr<BrowserWindow> createBrowserWindow(BrevantModel &model) override
    {
        auto window = std::make_unique<FakeBrowserWindow>(model, record);
        current = window.get();
        ++created;
        return window;
    }

    FakeBrowserRecord record;
    QPointer<FakeBrowserWindow> current;
    int created = 0;
};
