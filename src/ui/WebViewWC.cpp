#include "WebViewWC.h"

#include "BrevantModel.h"
#include "BrowserSession.h"
#include "JiraScripts.h"
#include "Log.h"
#include "PageScript.h"
#include "WebPage.h"
#include "ui_WebViewWC.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

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
    // The program is its main window: closing that quits, and the browser window goes with it.
    mWindow->setAttribute(Qt::WA_QuitOnClose, false);
    windowDidLoad();
}

WebViewWC::~WebViewWC()
{
    // As the page goes it answers its pending scripts with nothing; those answers are for nobody.
    mScriptListener.reset();
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
    connect(page, &QWebEnginePage::loadingChanged, this, &WebViewWC::loadingChanged);
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
    queryWebView->page()->runJavaScript(
        PageScript::wrapped(script), QWebEngineScript::ApplicationWorld,
        [listener = std::weak_ptr<const bool>(mScriptListener),
         completion = std::move(completion)](const QVariant &reply) {
            if (!listener.expired() && completion)
                completion(PageScript::outcome(reply));
        });
}

void WebViewWC::readLinkAddress(const QString &elementId, AddressCompletion completion)
{
    const QString script =
        QStringLiteral("(function () { const link = document.getElementById('%1');"
                       " return link && link.href ? String(link.href) : null; })()")
            .arg(JiraScripts::escapedForSingleQuotes(elementId));
    runScript(script, [completion = std::move(completion)](const ScriptOutcome &outcome) {
        const bool found = !outcome.failed && outcome.result.typeId() == QMetaType::QString;
        completion(found ? std::optional<QString>(outcome.result.toString()) : std::nullopt);
    });
}

void WebViewWC::evaluateJavaScript(const QString &script)
{
    runScript(script, [](const ScriptOutcome &outcome) {
        if (outcome.failed)
            JiraScripts::logFailure(outcome);
    });
}

void WebViewWC::fetchExportPage(const QUrl &address, FetchCompletion completion)
{
    // The model, not this window, waits for the page; it knows whether it still wants it.
    BrowserSession::instance().fetch(address, &bv, std::move(completion));
}

void WebViewWC::stopFetching()
{
    BrowserSession::abortFetches();
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

void WebViewWC::loadingChanged(const QWebEngineLoadingInfo &loading)
{
    // A page the server sent with an error status is a page all the same, and the user sees it;
    // a cancelled navigation or one that reached no server is no finished load.
    const bool errorPage = loading.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                           loading.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    if (loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus || errorPage)
        didFinishNavigation();
}

void WebViewWC::didFinishNavigation()
{
    bv.webViewPageDidLoad();
    ui->urlBar->setText(queryWebView->url().toString());
}

void WebViewWC::fetchLink(const QUrl &address)
{
    // The model, not this window, receives the answer: a window closed meanwhile still delivers
    // an export.
    BrevantModel *model = &bv;
    BrowserSession::instance().fetch(
        address, model, [model, address](const FetchedResponse &response) {
            if (!response.ok)
                model->downloadFailed(response.httpStatus, response.error);
            // A link to a web page, such as an issue, is for browsing; only a file is an export.
            else if (response.isWebPage)
                model->webViewShowLinkedPage(address.toString());
            else
                model->downloadReceivedData(response.body, address);
        });
}

bool WebViewWC::eventFilter(QObject *watched, QEvent *event)
{
    // Last: the model takes the controller over until the close has run its course.
    if (watched == mWindow.get() && event->type() == QEvent::Close)
        bv.webViewWindowWillClose();
    return false;
}
