#include "SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

bool SystemClipboard::writeString(const std::optional<QString> &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    // Cleared first, so that a failed copy never leaves the previous text to be pasted by mistake.
    clipboard->clear();
    if (!text)
        return false;
    clipboard->setText(*text);
    return true;
}
