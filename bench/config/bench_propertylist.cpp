// The longest the configuration reader works on any bytes up to its size limit: each input
// below is one of the costliest shapes for some part of the reading, made as large as the limit
// allows. Prints each time and the slowest; the goal is at most one second.
#include "PropertyListReader.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype kLimit = 16 * 1024 * 1024;

QByteArray bigEndian(quint64 value, int size)
{
    QByteArray bytes;
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
    return bytes;
}

QByteArray xmlDictionary(const QByteArray &entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
           "</dict></plist>\n";
}

// As many distinct templates as fit: the library's own XML reader took minutes for these.
QByteArray xmlManyEntries()
{
    QByteArray entries;
    for (int i = 0; entries.size() < kLimit - 100; ++i)
        entries += "<key>T" + QByteArray::number(i) + "</key><string>q</string>";
    return xmlDictionary(entries);
}

QByteArray xmlManyLeaves()
{
    const QByteArray leaves = QByteArray("<true/>").repeated((kLimit - 100) / 7);
    return xmlDictionary("<key>a</key><array>" + leaves + "</array>");
}

QByteArray xmlDeep()
{
    const qsizetype depth = (kLimit - 100) / 15;
    return xmlDictionary("<key>a</key>" + QByteArray("<array>").repeated(depth) +
                         QByteArray("</array>").repeated(depth));
}

// A binary property list of encoded objects with four-byte references, the first at the root.
QByteArray binary(const std::vector<QByteArray> &objects)
{
    QByteArray data = "bplist00";
    QByteArray offsets;
    for (const QByteArray &object : objects) {
        offsets += bigEndian(quint64(data.size()), 4);
        data += object;
    }
    const quint64 table = quint64(data.size());
    return data + offsets + QByteArray(6, '\0') + char(4) + char(4) + bigEndian(objects.size(), 8) +
           bigEndian(0, 8) + bigEndian(table, 8);
}

QByteArray container(int type, quint64 count, const std::function<quint64(quint64)> &reference,
                     quint64 references)
{
    QByteArray object(1, char((type << 4) | 0xF));
    object += char(0x13) + bigEndian(count, 8);
    for (quint64 i = 0; i < references; ++i)
        object += bigEndian(reference(i), 4);
    return object;
}

QByteArray binaryManyEntries()
{
    const quint64 count = 600000;
    std::vector<QByteArray> objects{container(
        0xD, count, [](quint64 i) { return i + 1; }, 2 * count)};
    for (quint64 i = 0; i < count; ++i) {
        const QByteArray key = "T" + QByteArray::number(i);
        objects.push_back(char(0x50 | key.size()) + key);
    }
    for (quint64 i = 0; i < count; ++i)
        objects.push_back(QByteArray("\x51q", 2));
    return binary(objects);
}

// Right at the bound on the values the library makes, every reference to one shared leaf.
QByteArray binaryShared()
{
    const quint64 count = (quint64(1) << 21) - 2;
    return binary({container(
                       0xA, count, [](quint64) { return 1; }, count),
                   QByteArray("\x09")});
}

QByteArray binaryDeep()
{
    std::vector<QByteArray> objects;
    const quint64 depth = (kLimit - 100) / 9;
    for (quint64 i = 0; i + 1 < depth; ++i)
        objects.push_back(char(0xA1) + bigEndian(i + 1, 4));
    objects.push_back(QByteArray(1, char(0xA0)));
    return binary(objects);
}

} // namespace

int main()
{
    const std::vector<std::pair<const char *, QByteArray>> inputs{
        {"XML, distinct entries", xmlManyEntries()},
        {"XML, leaves in one array", xmlManyLeaves()},
        {"XML, arrays nested", xmlDeep()},
        {"binary, distinct entries", binaryManyEntries()},
        {"binary, one leaf shared", binaryShared()},
        {"binary, arrays nested", binaryDeep()},
    };
    qint64 slowest = 0;
    for (const auto &[name, data] : inputs) {
        QElapsedTimer timer;
        timer.start();
        const std::optional<StringDictionary> read =
            stringDictionaryFromData(data, QStringLiteral("bench"));
        const qint64 elapsed = timer.elapsed();
        slowest = std::max(slowest, elapsed);
        std::printf("%-28s %5.1f MB %6lld ms  %s\n", name, double(data.size()) / (1 << 20),
                    static_cast<long long>(elapsed), read ? "read" : "refused");
    }
    std::printf("slowest %lld ms; goal: at most 1000 ms\n", static_cast<long long>(slowest));
    return 0;
}
