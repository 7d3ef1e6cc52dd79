#include "WebViewWC.h"

#include "BrevantModel.h"
#include "BrowserSession.h"
#include "JiraScripts.h"
#include "Log.h"
#include "WebPage.h"
#include "ui_WebViewWC.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QScreen>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

// The engine's script call has no error channel, so the script runs inside a try block that
// reports its outcome. Handing the script over as a string for eval also catches a script that
// does not parse. The isolated world keeps the page's own globals (a replaced eval or JSON) out
// of the wrapper; the page's elements and their handlers are the same in both worlds.
QString wrappedScript(const QString &script)
{
    const QByteArray quoted = QJsonDocument(QJsonArray{script}).toJson(QJsonDocument::Compact);
    return QStringLiteral(R"((function () {
    function plain(value) {
        if (value === undefined || value === null || typeof value !== 'object')
            return value === undefined ? null : value;
        try { return JSON.parse(JSON.stringify(value)); } catch (e) { return String(value); }
    }
    try {
        return { ok: true, result: plain((0, eval)(%1[0])) };
    } catch (error) {
        return { ok: false, error: String(error) };
    }
})())")
        .arg(QString::fromUtf8(quoted));
}

ScriptOutcome scriptOutcome(const QVariant &reply)
{
    const QVariantMap answer = reply.toMap();
    if (!answer.contains(QStringLiteral("ok")))
        return {true, {}, QStringLiteral("The page gave no answer to the script")};
    if (answer.value(QStringLiteral("ok")).toBool())
        return {false, answer.value(QStringLiteral("result")), {}};
    return {true, {}, answer.value(QStringLiteral("error")).toString()};
}

// The Option frame is given from the lower-left corner of the main screen; Qt counts from the
// top.
QRect optionFrame()
{
    const QSize size(1000, 600);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : size.height() + 200;
    return QRect(QPoint(200, screenHeight - 200 - size.height()), size);
}

} // namespace

WebViewWC::WebViewWC(BrevantModel &model, QObject *parent)
    : QObject(parent)
    , bv(model)
    , mWindow(std::make_unique<QWidget>())
    , ui(std::make_unique<Ui::WebViewWC>())
{
    ui->setupUi(mWindow.get());
    windowDidLoad();
}

WebViewWC::~WebViewWC()
{
    // Destroyed from within its own close notice, the window must outlive that notice.
    if (mClosing)
        mWindow.release()->deleteLater();
}

void WebViewWC::windowDidLoad()
{
    queryWebView = new QWebEngineView(ui->customView);
    auto *page = new WebPage(BrowserSession::instance().profile(), queryWebView);
    queryWebView->setPage(page);
    ui->customView->layout()->addWidget(queryWebView);

    // The engine has no commit notice; the address changes when a navigation commits.
    connect(page, &QWebEnginePage::urlChanged, this,
            [] { logLine(QStringLiteral("Did commit navigation")); });
    connect(page, &QWebEnginePage::loadFinished, this, &WebViewWC::didFinishNavigation);
    connect(page, &QWebEnginePage::titleChanged, mWindow.get(), &QWidget::setWindowTitle);
    connect(page, &WebPage::linkIntercepted, this, &WebViewWC::fetchLink);
    connect(ui->copyURLButton, &QPushButton::clicked, this, &WebViewWC::copyURL);
    mWindow->installEventFilter(this);
}

QLineEdit *WebViewWC::urlBar() const
{
    return ui->urlBar;
}

QWidget *WebViewWC::customView() const
{
    return ui->customView;
}

void WebViewWC::loadURL(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative()) {
        logLine(QStringLiteral("Not a valid address: ") % address);
        return;
    }
    queryWebView->load(url);
}

void WebViewWC::runScript(const QString &script, ScriptCompletion completion)
{
    const QPointer<WebViewWC> guard(this);
    queryWebView->page()->runJavaScript(
        wrappedScript(script), QWebEngineScript::ApplicationWorld,
        [guard, completion = std::move(completion)](const QVariant &reply) {
            if (guard && completion)
                completion(scriptOutcome(reply));
        });
}

void WebViewWC::evaluateJavaScript(const QString &script)
{
    runScript(script, [](const ScriptOutcome &outcome) {
        if (outcome.failed)
            JiraScripts::logFailure(outcome);
    });
}

void WebViewWC::show(bool useOptionFrame)
{
    if (useOptionFrame)
        mWindow->setGeometry(optionFrame());
    mWindow->show();
    mWindow->raise();
    mWindow->activateWindow();
}

void WebViewWC::copyURL()
{
    const QUrl address = queryWebView->url();
    // Before the first page there is no address to show or copy.
    if (address.isEmpty())
        return;
    ui->urlBar->setText(address.toString());
    bv.writeToPasteBoard(address.toString());
}

void WebViewWC::didFinishNavigation(bool ok)
{
    // A cancelled or failed navigation also ends here; only finished pages count.
    if (!ok)
        return;
    bv.webViewPageDidLoad();
    ui->urlBar->setText(queryWebView->url().toString());
}

void WebViewWC::fetchLink(const QUrl &address)
{
    // The model, not this window, receives the bytes: a window closed meanwhile changes nothing.
    BrevantModel *model = &bv;
    BrowserSession::instance().fetch(
        address, model, [model](const QByteArray &body) { model->downloadReceivedData(body); });
}

bool WebViewWC::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mWindow.get() && event->type() == QEvent::Close) {
        mClosing = true;
        // Last: the model may let go of this controller right away.
        bv.webViewWindowWillClose();
    }
    return false;
}
