#include "PropertyListReader.h"

#include "Log.h"

#include <QFile>

#include <cstdlib>
#include <memory>
#include <plist/plist.h>

namespace {

// libplist takes a 32-bit length; no hand-edited configuration comes anywhere near this.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using OwnedPlist = std::unique_ptr<void, PlistFree>;

struct CFree
{
    void operator()(void *memory) const { std::free(memory); }
};

OwnedPlist readRootDictionary(const QString &path)
{
    QFile file(path);
    if (file.size() > maximumFileSize || !file.open(QIODevice::ReadOnly)) {
        logLine(path + QStringLiteral(" could not be read."));
        return {};
    }
    const QByteArray data = file.readAll();
    plist_t root = nullptr;
    if (!data.isEmpty())
        plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    OwnedPlist owned(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT) {
        logLine(path + QStringLiteral(" is not a property list with a dictionary at its root."));
        return {};
    }
    return owned;
}

template<typename Visit> void forEachEntry(plist_t dictionary, Visit visit)
{
    plist_dict_iter rawIterator = nullptr;
    plist_dict_new_iter(dictionary, &rawIterator);
    const std::unique_ptr<void, CFree> iterator(rawIterator);
    while (true) {
        char *rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, rawIterator, &rawKey, &value);
        const std::unique_ptr<char, CFree> key(rawKey);
        if (!value)
            return;
        visit(QString::fromUtf8(rawKey), value);
    }
}

std::optional<QString> textOf(plist_t node)
{
    if (plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

void logSkipped(const QString &path, const QString &key, const QString &expected)
{
    logLine(path + QStringLiteral(": the entry \"") + key + QStringLiteral("\" is not ") +
            expected + QStringLiteral(" and was skipped."));
}

StringDictionary textEntries(plist_t dictionary, const QString &path, const QString &keyPrefix)
{
    StringDictionary entries;
    forEachEntry(dictionary, [&](const QString &key, plist_t value) {
        if (const std::optional<QString> text = textOf(value))
            entries.insert(key, *text);
        else
            logSkipped(path, keyPrefix + key, QStringLiteral("a text"));
    });
    return entries;
}

} // namespace

std::optional<StringDictionary> readStringDictionary(const QString &path)
{
    const OwnedPlist root = readRootDictionary(path);
    if (!root)
        return std::nullopt;
    return textEntries(root.get(), path, QString());
}

std::optional<JiraUsersDictionary> readJiraUsersDictionary(const QString &path)
{
    const OwnedPlist root = readRootDictionary(path);
    if (!root)
        return std::nullopt;
    JiraUsersDictionary groups;
    forEachEntry(root.get(), [&](const QString &group, plist_t users) {
        if (plist_get_node_type(users) == PLIST_DICT)
            groups.insert(group, textEntries(users, path, group + u'/'));
        else
            logSkipped(path, group, QStringLiteral("a dictionary of users"));
    });
    return groups;
}
