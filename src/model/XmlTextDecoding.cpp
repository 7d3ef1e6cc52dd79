#include "XmlTextDecoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

// The declaration sits at the very start, so a short look suffices.
constexpr qsizetype kDeclarationSpan = 512;

QString declaredEncoding(QByteArrayView data)
{
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*?\sencoding\s*=\s*["']([^"']*)["'])"));
    const QString start = QString::fromLatin1(data.first(std::min(data.size(), kDeclarationSpan)));
    return declaration.match(start).captured(1);
}

bool isMultiByteUnicode(QStringConverter::Encoding encoding)
{
    return encoding != QStringConverter::Utf8 && encoding != QStringConverter::Latin1 &&
           encoding != QStringConverter::System;
}

// Without a byte-order mark the declaration was readable as ASCII, so a UTF-16 or UTF-32 name
// in it cannot be right; such a file is read as UTF-8, as it is everywhere else.
QStringDecoder decoderForDeclaration(const QString &name)
{
    if (name.isEmpty())
        return QStringDecoder(QStringConverter::Utf8);
    const std::optional<QStringConverter::Encoding> builtIn =
        QStringConverter::encodingForName(name.toLatin1().constData());
    if (builtIn && isMultiByteUnicode(*builtIn))
        return QStringDecoder(QStringConverter::Utf8);
    return QStringDecoder(name.toLatin1().constData());
}

QString withoutLeadingBlanks(const QString &text)
{
    const auto first = std::find_if(text.cbegin(), text.cend(),
                                    [](QChar character) { return !character.isSpace(); });
    return text.sliced(first - text.cbegin());
}

} // namespace

DecodedXmlText decodedXmlText(QByteArrayView data)
{
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(data, u'<'))
        return {withoutLeadingBlanks(QStringDecoder(*marked).decode(data)), {}};
    const QString declared = declaredEncoding(data);
    QStringDecoder decoder = decoderForDeclaration(declared);
    if (!decoder.isValid())
        return {std::nullopt, declared};
    return {withoutLeadingBlanks(decoder.decode(data)), {}};
}
