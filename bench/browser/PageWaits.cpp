#include "PageWaits.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

namespace PageWaits {

bool nextLoad(QWebEnginePage &page)
{
    QEventLoop loop;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop,
                     [&loop](bool ok) { loop.exit(ok ? 0 : 1); });
    QTimer::singleShot(kTimeoutMs, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == 0;
}

bool logInOnceLoaded(QWebEnginePage &page)
{
    if (!nextLoad(page))
        return false;
    page.runJavaScript(QStringLiteral("document.querySelector('input[name=os_username]').value "
                                      "= 'bench'; document.querySelector('form').submit();"));
    return nextLoad(page);
}

} // namespace PageWaits
