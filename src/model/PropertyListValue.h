// A property list as the configuration files need it: texts and dictionaries of entries in file
// order; every other kind of value is known only as "something else".
#pragma once

#include <QString>

#include <vector>

struct PropertyListEntry;

struct PropertyListValue
{
    enum class Kind
    {
        Text,
        Dictionary,
        Other
    };

    Kind kind = Kind::Other;
    // The text of a Text value.
    QString text;
    // The entries of a Dictionary value, a key given twice listed twice.
    std::vector<PropertyListEntry> entries;
};

struct PropertyListEntry
{
    QString key;
    PropertyListValue value;
};

// The outcome of reading the bytes of a property list: its root value, or why there is none.
struct PropertyListParse
{
    enum class Failure
    {
        None,
        NotAPropertyList,
        TooDeep,
        TooManyValues,
        KeyHoldsNul,
        UnknownEncoding
    };

    PropertyListValue root;
    Failure failure = Failure::None;
    // The encoding an XML declaration names, for UnknownEncoding.
    QString encoding;
};

namespace PropertyListLimits {

// The configuration files nest three levels (dictionary, group, text); this leaves room for
// hand-made extras while keeping every reader of the values, the recursive ones included, far
// from the end of its stack.
inline constexpr int maximumDepth = 16;

// A binary property list may refer to one object from many places, and the library reading it
// makes a value for every reference; this bounds that work, far above what the size cap lets a
// written-out file hold.
inline constexpr qint64 maximumValues = qint64(1) << 21;

} // namespace PropertyListLimits
