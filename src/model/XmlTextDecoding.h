// The text of an XML property list, decoded the way the editor that saved it wrote it: by its
// byte-order mark, else by the encoding its XML declaration names, else as UTF-8.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

struct DecodedXmlText
{
    // The text, without a byte-order mark and the blanks before the first tag.
    std::optional<QString> text;
    // The declared encoding when no decoder for it is known.
    QString unknownEncoding;
};

// Bytes that are not valid in the encoding become U+FFFD, as a text editor shows them.
DecodedXmlText decodedXmlText(QByteArrayView data);
