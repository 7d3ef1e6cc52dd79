#include "WebBrowserWindowFactory.h"

#include "WebViewWC.h"

std::unique_ptr<BrowserWindow> WebBrowserWindowFactory::createBrowserWindow(BrevantModel &model)
{
    return std::make_unique<WebViewWC>(model);
}
