#include "DesktopInput.h"

#include <QProcess>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

constexpr int kToolTimeoutMs = 30000;

std::optional<QByteArray> xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(kToolTimeoutMs) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return std::nullopt;
    return tool.readAllStandardOutput();
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

namespace DesktopInput {

std::optional<quint32> findWindow(qint64 processId, const QString &title)
{
    const std::optional<QByteArray> found = xdotool(
        {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
         QStringLiteral("--pid"), QString::number(processId), QStringLiteral("--name"),
         QLatin1Char('^') + title + QLatin1Char('$')});
    if (!found)
        return std::nullopt;
    bool ok = false;
    const quint32 window = found->split('\n').constFirst().trimmed().toUInt(&ok);
    return ok ? std::optional<quint32>(window) : std::nullopt;
}

bool pressKeys(quint32 window, const QStringList &chords)
{
    // A menu opened by one chord needs a moment to take the next one.
    QStringList arguments{QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                          QString::number(window),       QStringLiteral("key"),
                          QStringLiteral("--delay"),     QStringLiteral("400")};
    return xdotool(arguments + chords).has_value();
}

bool requestClose(quint32 window)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    if (connected) {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(connection, "WM_PROTOCOLS");
        event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(connection);
    }
    xcb_disconnect(connection);
    return connected;
}

} // namespace DesktopInput
