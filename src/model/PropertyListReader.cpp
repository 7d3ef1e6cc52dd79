#include "PropertyListReader.h"

#include "Log.h"
#include "PropertyListParser.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// No hand-edited configuration comes anywhere near this, and it keeps a launch with a runaway
// file short.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

using Failure = PropertyListParse::Failure;
using Kind = PropertyListValue::Kind;

void logUnread(const QString &path, const QString &reason)
{
    logLine(path + u' ' + reason + QStringLiteral(" and was not read."));
}

// Opened without waiting, so that a FIFO or a device standing in for the file cannot hold up
// the launch; only a regular file is then read.
std::optional<QByteArray> regularFileContents(const QString &path)
{
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QFile file;
    struct stat status
    {
    };
    if (descriptor < 0 || !file.open(descriptor, QIODevice::ReadOnly, QFile::AutoCloseHandle) ||
        ::fstat(descriptor, &status) != 0) {
        logLine(path + QStringLiteral(" could not be read."));
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        logUnread(path, QStringLiteral("is not a regular file"));
        return std::nullopt;
    }
    // One byte past the limit tells a file that grew since it was looked at.
    const QByteArray data = file.read(maximumFileSize + 1);
    if (data.size() > maximumFileSize) {
        logUnread(
            path,
            QStringLiteral("is over the size limit of 16 MB (%1 bytes)").arg(maximumFileSize));
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        logLine(path + QStringLiteral(" could not be read."));
        return std::nullopt;
    }
    return data;
}

void logFailure(const QString &path, const PropertyListParse &parse)
{
    switch (parse.failure) {
    case Failure::TooDeep:
        logUnread(path, QStringLiteral("nests values more than %1 levels deep")
                            .arg(PropertyListLimits::maximumDepth));
        return;
    case Failure::TooManyValues:
        logUnread(
            path,
            QStringLiteral("holds more than %1 values").arg(PropertyListLimits::maximumValues));
        return;
    case Failure::KeyHoldsNul:
        logUnread(path, QStringLiteral("has a key holding the character U+0000"));
        return;
    case Failure::UnknownEncoding:
        logUnread(
            path,
            QStringLiteral("declares the encoding \"%1\", which is not known").arg(parse.encoding));
        return;
    case Failure::None:
    case Failure::NotAPropertyList:
        break;
    }
    logLine(path + QStringLiteral(" is not a property list with a dictionary at its root."));
}

std::optional<PropertyListValue> rootDictionary(QByteArrayView data, const QString &path)
{
    PropertyListParse parse = parsePropertyList(data);
    if (parse.failure == Failure::None && parse.root.kind != Kind::Dictionary)
        parse.failure = Failure::NotAPropertyList;
    if (parse.failure != Failure::None) {
        logFailure(path, parse);
        return std::nullopt;
    }
    return std::move(parse.root);
}

void logSkipped(const QString &path, const QString &key, const QString &expected)
{
    logLine(path + QStringLiteral(": the entry \"") + key + QStringLiteral("\" is not ") +
            expected + QStringLiteral(" and was skipped."));
}

StringDictionary textEntries(const PropertyListValue &dictionary, const QString &path,
                             const QString &keyPrefix)
{
    StringDictionary entries;
    for (const PropertyListEntry &entry : dictionary.entries) {
        if (entry.value.kind == Kind::Text)
            entries.insert(entry.key, entry.value.text);
        else
            logSkipped(path, keyPrefix + entry.key, QStringLiteral("a text"));
    }
    return entries;
}

JiraUsersDictionary userGroups(const PropertyListValue &dictionary, const QString &path)
{
    JiraUsersDictionary groups;
    for (const PropertyListEntry &entry : dictionary.entries) {
        if (entry.value.kind == Kind::Dictionary)
            groups.insert(entry.key, textEntries(entry.value, path, entry.key + u'/'));
        else
            logSkipped(path, entry.key, QStringLiteral("a dictionary of users"));
    }
    return groups;
}

} // namespace

std::optional<StringDictionary> readStringDictionary(const QString &path)
{
    const std::optional<QByteArray> data = regularFileContents(path);
    if (!data)
        return std::nullopt;
    return stringDictionaryFromData(*data, path);
}

std::optional<JiraUsersDictionary> readJiraUsersDictionary(const QString &path)
{
    const std::optional<QByteArray> data = regularFileContents(path);
    if (!data)
        return std::nullopt;
    return jiraUsersDictionaryFromData(*data, path);
}

std::optional<StringDictionary> stringDictionaryFromData(QByteArrayView data, const QString &path)
{
    const std::optional<PropertyListValue> root = rootDictionary(data, path);
    if (!root)
        return std::nullopt;
    return textEntries(*root, path, QString());
}

std::optional<JiraUsersDictionary> jiraUsersDictionaryFromData(QByteArrayView data,
                                                               const QString &path)
{
    const std::optional<PropertyListValue> root = rootDictionary(data, path);
    if (!root)
        return std::nullopt;
    return userGroups(*root, path);
}
