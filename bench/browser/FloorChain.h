// The export as the least chain Qt allows: the program's four page scripts after the same fixed
// delays, run in the page's own world with no wrapper; the export link the last one clicks
// cancelled in the page and fetched through a network manager whose cookie jar mirrors the
// profile's cookies; the bytes written to a file. It has a profile and a page of its own, so
// nothing of the program's browser session is shared or measured.
#pragma once

#include "ExportMoments.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <chrono>
#include <functional>
#include <vector>

class FloorPage;
class QNetworkReply;

class FloorChain final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FloorChain)

public:
    FloorChain(ExportMoments &moments, const QString &queryText, const QString &csvPath);
    ~FloorChain() override;

    // Loads the login page and sends its form.
    bool logIn(const QUrl &loginPage);
    // From here on every finished load runs the scripts, as the program's armed chain does.
    void exportFrom(const QUrl &searchPage);
    // Runs a script in the page's own world; answered runs on its answer.
    void runScript(const QString &script, std::function<void()> answered);

private:
    struct Step
    {
        std::chrono::milliseconds delay;
        QString script;
    };

    void pageDidLoad(bool ok);
    void runStep(std::size_t index);
    void fetch(const QUrl &address);
    void store(QNetworkReply *reply);

    ExportMoments &mMoments;
    const QString mCsvPath;
    const std::vector<Step> mSteps;
    // Declared before the view, whose page must be gone before the profile goes.
    QWebEngineProfile mProfile;
    QWebEngineView mView;
    FloorPage *mPage;
    QNetworkAccessManager mNetwork;
    bool mExporting = false;
};
