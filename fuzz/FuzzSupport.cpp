#include "FuzzSupport.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

void silenceLog()
{
    qInstallMessageHandler(dropMessage);
}

QString textOf(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

QByteArrayView bytesOf(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

void broken(const QString &promise, const QString &detail)
{
    std::fprintf(stderr, "Broken promise: %s\n%s\n", qPrintable(promise), qPrintable(detail));
    std::abort();
}
