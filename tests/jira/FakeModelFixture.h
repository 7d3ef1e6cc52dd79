// What a model test with a fake browser window stands on: a throwaway home, a log capture, the
// fakes, and per test a fresh model whose notifications a recorder can follow.
#pragma once

#include "BrevantModel.h"
#include "FakeBrowserWindow.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QTest>

#include <memory>

class FakeModelFixture
{
protected:
    // A fresh home, log, fakes and model; the model reaches the desktop through workspace, or
    // the fixture's own fake when none is given.
    void startModel(Workspace *workspace = nullptr)
    {
        mHome = std::make_unique<TemporaryHome>();
        QVERIFY(mHome->isValid());
        mLog = std::make_unique<LogCapture>();
        mWorkspace = FakeWorkspace();
        mBeeper = FakeBeeper();
        mWindows = std::make_unique<FakeBrowserWindowFactory>();
        ModelServices services;
        services.workspace = workspace ? workspace : &mWorkspace;
        services.beeper = &mBeeper;
        services.browserWindows = mWindows.get();
        mModel = std::make_unique<BrevantModel>(services);
    }

    // From here on the model's notifications are recorded; what the set-up posted is not.
    void recordNotifications() { mRecorder = std::make_unique<NotificationRecorder>(*mModel); }

    // Lets everything go, the model before the windows it made and the home it wrote to.
    void stopModel()
    {
        mRecorder.reset();
        mModel.reset();
        mWindows.reset();
        mLog.reset();
        mHome.reset();
    }

    std::unique_ptr<TemporaryHome> mHome;
    std::unique_ptr<LogCapture> mLog;
    FakeWorkspace mWorkspace;
    FakeBeeper mBeeper;
    std::unique_ptr<FakeBrowserWindowFactory> mWindows;
    std::unique_ptr<BrevantModel> mModel;
    std::unique_ptr<NotificationRecorder> mRecorder;
};
