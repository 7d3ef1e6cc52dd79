// Percent-encoding for web addresses, the sort key of texts that end in a bracketed phone label,
// two case-insensitive tests and a hexadecimal MD5 digest.
#pragma once

#include <QString>

#include <compare>
#include <optional>

// Every character but the ASCII letters, digits and "-._~" as "%" and two upper-case hexadecimal
// digits per UTF-8 byte.
QString stringByURLEncoding(const QString &text);

// The text with its percent escapes decoded as UTF-8 and every "&nbsp;" made a space; nothing
// when an escape is malformed or the decoded bytes are not valid UTF-8.
std::optional<QString> stringByURLDecoding(const QString &text);

// The name before the first ":" followed by the code of the label in square brackets at the end
// ("work" is "01" ... "vacation" is "10", each label as translated), or by the label text itself
// when it is none of them. A text without ":" is its own key; one without "[" is keyed by name.
QString compareStringForCID(const QString &text);

// The order of the two texts' label keys, compared character by character, case-sensitive.
std::strong_ordering compareCID(const QString &text, const QString &other);

bool caseInsensitiveIsEqualToString(const QString &text, const QString &other);

// True when other occurs in text ignoring letter case; an empty other is never found.
bool containsString(const QString &text, const QString &other);

// The MD5 digest of the text's UTF-16 little-endian code units, as 32 lower-case hex digits.
QString hex_md5(const QString &text);
