// The longest the configuration reader works on any bytes up to its size limit: each input
// below is one of the costliest shapes for some part of the reading, made as large as the limit
// allows. Prints each time and the slowest; the goal is at most one second.
#include "ConfigFixtures.h"
#include "PropertyListReader.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype kLimit = 16 * 1024 * 1024;

// As many distinct templates as fit: the library's own XML reader took minutes for these.
QByteArray xmlManyEntries()
{
    QByteArray entries;
    for (int i = 0; entries.size() < kLimit - 100; ++i)
        entries += "<key>T" + QByteArray::number(i) + "</key><string>q</string>";
    return fixtures::xmlDictionary(entries);
}

QByteArray xmlManyLeaves()
{
    const QByteArray leaves = QByteArray("<true/>").repeated((kLimit - 100) / 7);
    return fixtures::xmlDictionary("<key>a</key><array>" + leaves + "</array>");
}

QByteArray xmlDeep()
{
    const qsizetype depth = (kLimit - 100) / 15;
    return fixtures::xmlDictionary("<key>a</key>" + QByteArray("<array>").repeated(depth) +
                                   QByteArray("</array>").repeated(depth));
}

QByteArray binaryManyEntries()
{
    const quint32 count = 600000;
    QList<quint32> keysThenValues;
    for (quint32 i = 1; i <= 2 * count; ++i)
        keysThenValues.append(i);
    QList<QByteArray> objects{fixtures::binaryContainer(0xD, count, keysThenValues)};
    for (quint32 i = 0; i < count; ++i) {
        const QByteArray key = "T" + QByteArray::number(i);
        objects.append(char(0x50 | key.size()) + key);
    }
    for (quint32 i = 0; i < count; ++i)
        objects.append(QByteArray("\x51q", 2));
    return fixtures::binaryPropertyList(objects);
}

// Right at the bound on the values the library makes, every reference to one shared leaf.
QByteArray binaryShared()
{
    return fixtures::binaryPropertyList(
        {fixtures::binaryArray(QList<quint32>((1 << 21) - 2, 1)), QByteArray("\x09")});
}

QByteArray binaryDeep()
{
    return fixtures::nestedBinaryArrays(int((kLimit - 100) / 9));
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
