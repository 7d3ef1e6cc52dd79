// Writing configuration files for the tests: XML and binary property lists, file dates.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <algorithm>
#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixtures {

inline QString supportFolderBelow(const QString &home)
{
    return home + QStringLiteral("/Library/Application Support/quillfen_brevant");
}

inline bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(contents) == contents.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A property list in XML whose root dictionary holds the given entries.
inline QByteArray xmlDictionary(const QByteArray &entries)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                             "<plist version=\"1.0\">\n<!-- edited by hand -->\n<dict>\n") +
           entries + QByteArrayLiteral("</dict>\n</plist>\n");
}

// The same property list in the binary form, as the desktop's own tools may save it.
inline QByteArray binaryFromXml(const QByteArray &xml)
{
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &root);
    if (!root)
        return {};
    char *binary = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &binary, &length);
    plist_free(root);
    const QByteArray result(binary, static_cast<qsizetype>(length));
    plist_to_bin_free(binary);
    return result;
}

inline QByteArray bigEndian(quint64 value, int size)
{
    QByteArray bytes;
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
    return bytes;
}

// A binary property list of the given objects, already encoded with four-byte references, the
// first object at the root.
inline QByteArray binaryPropertyList(const QList<QByteArray> &objects)
{
    QByteArray data = "bplist00";
    QByteArray offsets;
    for (const QByteArray &object : objects) {
        offsets += bigEndian(quint64(data.size()), 4);
        data += object;
    }
    const quint64 tableStart = quint64(data.size());
    data += offsets;
    data += QByteArray(6, '\0') + char(4) + char(4) + bigEndian(quint64(objects.size()), 8) +
            bigEndian(0, 8) + bigEndian(tableStart, 8);
    return data;
}

// An encoded array object of the given object references.
// An encoded container object of the given type (0xA an array, 0xD a dictionary, whose
// references are its keys and then its values) holding count items.
inline QByteArray binaryContainer(int type, qsizetype count, const QList<quint32> &references)
{
    QByteArray object(1, char((type << 4) | std::min<qsizetype>(count, 0xF)));
    // From fifteen on the count follows as a four-byte integer object.
    if (count >= 0xF)
        object += char(0x12) + bigEndian(quint64(count), 4);
    for (const quint32 reference : references)
        object += bigEndian(reference, 4);
    return object;
}

inline QByteArray binaryArray(const QList<quint32> &references)
{
    return binaryContainer(0xA, references.size(), references);
}

// Each array holding the next one, depth arrays in all.
inline QByteArray nestedBinaryArrays(int depth)
{
    QList<QByteArray> objects;
    for (int level = 0; level + 1 < depth; ++level)
        objects.append(binaryArray({quint32(level + 1)}));
    objects.append(binaryArray({}));
    return binaryPropertyList(objects);
}

inline QByteArray nestedXmlArrays(int depth)
{
    return xmlDictionary("<key>deep</key>" + QByteArray("<array>").repeated(depth) +
                         QByteArray("</array>").repeated(depth) + "\n");
}

// Works for folders and read-only files too.
inline bool setModified(const QString &path, const QDateTime &when)
{
    const qint64 msecs = when.toMSecsSinceEpoch();
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(msecs / 1000), (msecs % 1000) * 1000000}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// A second name for the file, as a backup made by the installer is.
inline bool hardLink(const QString &path, const QString &secondName)
{
    return ::link(QFile::encodeName(path).constData(), QFile::encodeName(secondName).constData()) ==
           0;
}

} // namespace fixtures
