// A look at the object graph of a binary property list before the property-list library reads
// it. The library reads that graph recursively, once for every reference to an object, and
// aborts on a dictionary key holding U+0000; this walk, without recursion and visiting each
// object once, turns each of those into a reason not to read the file.
#pragma once

#include "PropertyListValue.h"

#include <QByteArrayView>

#include <optional>
#include <vector>

class BinaryPropertyListShape
{
public:
    explicit BinaryPropertyListShape(QByteArrayView data);

    // None when the library may read the data: the layout holds together, no object contains
    // itself, the nesting and the number of values the library would make stay within
    // PropertyListLimits, and every dictionary key is a text without U+0000.
    PropertyListParse::Failure check();

private:
    struct Trailer
    {
        int offsetSize = 0;
        int referenceSize = 0;
        quint64 objectCount = 0;
        quint64 topObject = 0;
        quint64 offsetTableStart = 0;
    };
    // A container's references, as they lie in the data.
    struct Container
    {
        quint64 referencesStart = 0;
        quint64 keyCount = 0;
        quint64 referenceCount = 0;
    };
    struct Frame
    {
        quint64 object = 0;
        Container container;
        quint64 nextReference = 0;
        qint64 values = 1;
        int height = 1;
    };
    struct Header
    {
        int type = 0;
        quint64 count = 0;
        quint64 payload = 0;
    };

    bool readTrailer();
    std::optional<Header> headerOf(quint64 object) const;
    std::optional<Container> containerOf(const Header &header) const;
    std::optional<quint64> reference(const Container &container, quint64 index) const;
    PropertyListParse::Failure checkKey(quint64 object);
    PropertyListParse::Failure enter(std::vector<Frame> &stack, quint64 object);
    PropertyListParse::Failure visit(std::vector<Frame> &stack);
    PropertyListParse::Failure leave(std::vector<Frame> &stack);
    PropertyListParse::Failure addChild(std::vector<Frame> &stack, quint64 child);
    bool holds(quint64 start, quint64 length) const;
    quint64 bigEndian(quint64 offset, int size) const;

    enum class State : quint8
    {
        Unvisited,
        Open,
        Done
    };
    enum class KeyCheck : quint8
    {
        Unchecked,
        Valid,
        HoldsNul,
        NotText
    };

    QByteArrayView mData;
    Trailer mTrailer;
    std::vector<State> mStates;
    std::vector<KeyCheck> mKeyChecks;
    std::vector<qint64> mValues;
    std::vector<quint8> mHeights;
};
