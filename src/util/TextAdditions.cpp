#include "TextAdditions.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QStringDecoder>
#include <QUrl>

#include <array>

namespace {

struct PhoneLabel
{
    const char *key;
    const char *code;
};

// Searched in this order, so a label that begins a longer one ("home", "home fax") wins.
constexpr std::array<PhoneLabel, 10> phoneLabels{{
    {QT_TRANSLATE_NOOP("PhoneLabel", "work"), "01"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "home"), "02"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "iPhone"), "03"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "mobile"), "04"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "main"), "05"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "home fax"), "06"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "work fax"), "07"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "pager"), "08"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "other"), "09"},
    {QT_TRANSLATE_NOOP("PhoneLabel", "vacation"), "10"},
}};

bool isHexDigit(QChar character)
{
    return (character >= u'0' && character <= u'9') || (character >= u'a' && character <= u'f') ||
           (character >= u'A' && character <= u'F');
}

bool hasOnlyWellFormedEscapes(const QString &text)
{
    for (qsizetype index = text.indexOf(u'%'); index >= 0; index = text.indexOf(u'%', index + 3)) {
        if (index + 2 >= text.size() || !isHexDigit(text.at(index + 1)) ||
            !isHexDigit(text.at(index + 2)))
            return false;
    }
    return true;
}

std::optional<QString> decodedUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

QString codeOfLabel(const QString &labelText)
{
    for (const PhoneLabel &label : phoneLabels) {
        const QString translated = QCoreApplication::translate("PhoneLabel", label.key);
        if (!translated.isEmpty() && labelText.startsWith(translated, Qt::CaseInsensitive))
            return QString::fromLatin1(label.code);
    }
    return labelText;
}

} // namespace

QString stringByURLEncoding(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

std::optional<QString> stringByURLDecoding(const QString &text)
{
    if (!hasOnlyWellFormedEscapes(text))
        return std::nullopt;
    std::optional<QString> decoded = decodedUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
    if (decoded)
        decoded->replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    return decoded;
}

QString compareStringForCID(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return text;
    const QString name = text.left(colon);
    const qsizetype bracket = text.lastIndexOf(u'[');
    if (bracket < 0)
        return name;
    return name + codeOfLabel(text.mid(bracket + 1));
}

std::strong_ordering compareCID(const QString &text, const QString &other)
{
    return QString::compare(compareStringForCID(text), compareStringForCID(other),
                            Qt::CaseSensitive) <=> 0;
}

bool caseInsensitiveIsEqualToString(const QString &text, const QString &other)
{
    return QString::compare(text, other, Qt::CaseInsensitive) == 0;
}

bool containsString(const QString &text, const QString &other)
{
    return !other.isEmpty() && text.contains(other, Qt::CaseInsensitive);
}

QString hex_md5(const QString &text)
{
    // Code units one by one, so the digest does not depend on the machine's byte order and an
    // unpaired surrogate is digested as it stands.
    QByteArray littleEndian;
    littleEndian.reserve(text.size() * 2);
    for (const QChar unit : text) {
        littleEndian.append(static_cast<char>(unit.unicode() & 0xFF));
        littleEndian.append(static_cast<char>(unit.unicode() >> 8));
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(littleEndian, QCryptographicHash::Md5).toHex());
}
