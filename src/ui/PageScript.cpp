#include "PageScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>

namespace PageScript {

// Handing the script over as a string for eval also catches a script that does not parse. The
// caller runs it in an isolated world, which keeps the page's own globals (a replaced eval or
// JSON) out of the wrapper; the page's elements and their handlers are the same in both worlds.
QString wrapped(const QString &script)
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

ScriptOutcome outcome(const QVariant &reply)
{
    const QVariantMap answer = reply.toMap();
    if (!answer.contains(QStringLiteral("ok")))
        return {true, {}, QStringLiteral("The page gave no answer to the script")};
    if (answer.value(QStringLiteral("ok")).toBool())
        return {false, answer.value(QStringLiteral("result")), {}};
    return {true, {}, answer.value(QStringLiteral("error")).toString()};
}

} // namespace PageScript
