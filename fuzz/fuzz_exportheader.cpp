// The export header's formula names, for any bytes, the column of the first title that is
// exactly "Created" and the column after it, or is the fixed formula when there is none or the
// header line is not UTF-8. The expectation is worked out here independently: the header line
// cut by hand, and the formula's column letters read back into numbers.
#include "ExportHeader.h"
#include "FuzzSupport.h"

#include <QByteArrayList>
#include <QRegularExpression>

namespace {

QByteArray headerLine(QByteArray data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            return data.left(i);
    }
    return data;
}

// The index of a column named by letters: A is 0, Z 25, AA 26.
qsizetype columnIndex(const QString &letters)
{
    qsizetype number = 0;
    for (const QChar letter : letters)
        number = number * 26 + (letter.unicode() - u'A' + 1);
    return number - 1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString formula = ExportHeader::cellReference(bytes);
    const QByteArray header = headerLine(bytes);
    const qsizetype created =
        QByteArrayView(header).isValidUtf8() ? header.split(',').indexOf("Created") : -1;
    if (created < 0) {
        if (formula != QStringLiteral("\t=ROUND(K2-J2,0)"))
            broken(QStringLiteral("no Created title gives the fixed formula"), formula);
        return 0;
    }
    static const QRegularExpression shape(QStringLiteral(R"(^\t=ROUND\(([A-Z]+)2-([A-Z]+)2,0\)$)"));
    const QRegularExpressionMatch match = shape.match(formula);
    if (!match.hasMatch() || columnIndex(match.captured(2)) != created ||
        columnIndex(match.captured(1)) != created + 1)
        broken(QStringLiteral("the formula names the Created column and the one after it"),
               QStringLiteral("Created at index %1, formula %2").arg(created).arg(formula));
    return 0;
}
