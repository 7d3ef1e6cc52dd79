// The browser window: one web view filling the window's container, an address field and a
// copy-address button. It reports finished loads and its closing to the model, runs the model's
// page scripts, and fetches clicked links itself instead of following them.
#pragma once

#include "BrowserWindow.h"

#include <QObject>
#include <QUrl>

#include <memory>

class BrevantModel;
class QLineEdit;
class QWebEngineLoadingInfo;
class QWebEngineView;
class QWidget;

namespace Ui {
class WebViewWC;
}

class WebViewWC final : public QObject, public BrowserWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebViewWC)

public:
    explicit WebViewWC(BrevantModel &model, QObject *parent = nullptr);
    ~WebViewWC() override;

    void loadURL(const QString &address) override;
    void runScript(const QString &script, ScriptCompletion completion) override;
    void readLinkAddress(const QString &elementId, AddressCompletion completion) override;
    void evaluateJavaScript(const QString &script) override;
    void fetchExportPage(const QUrl &address, FetchCompletion completion) override;
    void stopFetching() override;
    void show(bool useOptionFrame) override;

    // Shows the current page's address in the address field and copies it.
    void copyURL();

    QWidget *window() const { return mWindow.get(); }
    QWebEngineView *webView() const { return queryWebView; }
    QLineEdit *urlBar() const;
    QWidget *customView() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void windowDidLoad();
    void loadingChanged(const QWebEngineLoadingInfo &loading);
    void didFinishNavigation();
    void fetchLink(const QUrl &address);

    BrevantModel &bv;
    std::unique_ptr<QWidget> mWindow;
    std::unique_ptr<Ui::WebViewWC> ui;
    QWebEngineView *queryWebView = nullptr;
    // Script completions hold a weak reference to this; it goes first when the window goes.
    std::shared_ptr<const bool> mScriptListener = std::make_shared<const bool>(true);
};
