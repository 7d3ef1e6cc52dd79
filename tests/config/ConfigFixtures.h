// Writing configuration files for the tests: XML and binary property lists, file dates.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

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
