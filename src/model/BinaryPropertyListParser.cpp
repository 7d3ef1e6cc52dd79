#include "BinaryPropertyListParser.h"

#include "BinaryPropertyListShape.h"

#include <cstdlib>
#include <memory>
#include <plist/plist.h>

namespace {

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using OwnedPlist = std::unique_ptr<void, PlistFree>;

struct CFree
{
    void operator()(void *memory) const { std::free(memory); }
};

PropertyListValue valueOf(plist_t node);

// The nesting was bounded before the library read the data, so this recursion is too.
PropertyListValue dictionaryOf(plist_t dictionary)
{
    PropertyListValue value;
    value.kind = PropertyListValue::Kind::Dictionary;
    plist_dict_iter rawIterator = nullptr;
    plist_dict_new_iter(dictionary, &rawIterator);
    const std::unique_ptr<void, CFree> iterator(rawIterator);
    while (true) {
        char *rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(dictionary, rawIterator, &rawKey, &item);
        const std::unique_ptr<char, CFree> key(rawKey);
        if (!item)
            return value;
        value.entries.push_back({QString::fromUtf8(rawKey), valueOf(item)});
    }
}

PropertyListValue valueOf(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return dictionaryOf(node);
    case PLIST_STRING: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        return {PropertyListValue::Kind::Text,
                QString::fromUtf8(text, static_cast<qsizetype>(length)),
                {}};
    }
    default:
        return {};
    }
}

} // namespace

PropertyListParse parseBinaryPropertyList(QByteArrayView data)
{
    PropertyListParse result;
    result.failure = BinaryPropertyListShape(data).check();
    if (result.failure != PropertyListParse::Failure::None)
        return result;
    plist_t root = nullptr;
    plist_from_bin(data.data(), static_cast<uint32_t>(data.size()), &root);
    const OwnedPlist owned(root);
    if (!root)
        result.failure = PropertyListParse::Failure::NotAPropertyList;
    else
        result.root = valueOf(root);
    return result;
}
