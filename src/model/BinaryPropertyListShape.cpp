#include "BinaryPropertyListShape.h"

#include <algorithm>

namespace {

using Failure = PropertyListParse::Failure;

constexpr quint64 kHeaderSize = 8;
constexpr quint64 kTrailerSize = 32;
// The length nibble that says a length integer follows the marker.
constexpr int kLengthFollows = 0xF;

// Object types, the marker's high nibble.
constexpr int kData = 0x4;
constexpr int kAsciiText = 0x5;
constexpr int kUtf16Text = 0x6;
constexpr int kUtf8Text = 0x7;
constexpr int kArray = 0xA;
constexpr int kSet = 0xC;
constexpr int kDictionary = 0xD;

bool isContainer(int type)
{
    return type == kArray || type == kSet || type == kDictionary;
}

bool hasLength(int type)
{
    return isContainer(type) || (type >= kData && type <= kUtf8Text);
}

bool isValidIntegerSize(int size)
{
    return size == 1 || size == 2 || size == 4 || size == 8;
}

} // namespace

BinaryPropertyListShape::BinaryPropertyListShape(QByteArrayView data)
    : mData(data)
{
}

Failure BinaryPropertyListShape::check()
{
    if (!readTrailer())
        return Failure::NotAPropertyList;
    if (mTrailer.objectCount > quint64(PropertyListLimits::maximumValues))
        return Failure::TooManyValues;
    const size_t count = size_t(mTrailer.objectCount);
    mStates.assign(count, State::Unvisited);
    mKeyChecks.assign(count, KeyCheck::Unchecked);
    mValues.assign(count, 0);
    mHeights.assign(count, 0);
    std::vector<Frame> stack;
    Failure failure = enter(stack, mTrailer.topObject);
    while (failure == Failure::None && !stack.empty())
        failure = visit(stack);
    return failure;
}

bool BinaryPropertyListShape::readTrailer()
{
    const quint64 size = quint64(mData.size());
    if (size < kHeaderSize + 1 + kTrailerSize)
        return false;
    const quint64 trailer = size - kTrailerSize;
    mTrailer.offsetSize = quint8(mData[qsizetype(trailer + 6)]);
    mTrailer.referenceSize = quint8(mData[qsizetype(trailer + 7)]);
    mTrailer.objectCount = bigEndian(trailer + 8, 8);
    mTrailer.topObject = bigEndian(trailer + 16, 8);
    mTrailer.offsetTableStart = bigEndian(trailer + 24, 8);
    // Every object takes at least a byte, so there are never more objects than bytes; that
    // also keeps the products below far from overflowing.
    return isValidIntegerSize(mTrailer.offsetSize) && isValidIntegerSize(mTrailer.referenceSize) &&
           mTrailer.objectCount > 0 && mTrailer.objectCount <= size &&
           mTrailer.topObject < mTrailer.objectCount && mTrailer.offsetTableStart > kHeaderSize &&
           mTrailer.offsetTableStart <= trailer &&
           mTrailer.objectCount * quint64(mTrailer.offsetSize) <=
               trailer - mTrailer.offsetTableStart;
}

std::optional<BinaryPropertyListShape::Header>
BinaryPropertyListShape::headerOf(quint64 object) const
{
    const quint64 offset = bigEndian(
        mTrailer.offsetTableStart + object * quint64(mTrailer.offsetSize), mTrailer.offsetSize);
    if (offset < kHeaderSize || !holds(offset, 1))
        return std::nullopt;
    const quint8 marker = quint8(mData[qsizetype(offset)]);
    Header header{marker >> 4, quint64(marker & 0xF), offset + 1};
    if (!hasLength(header.type) || header.count != kLengthFollows)
        return header;
    if (!holds(offset + 1, 1))
        return std::nullopt;
    const quint8 lengthMarker = quint8(mData[qsizetype(offset + 1)]);
    const int lengthSize = 1 << (lengthMarker & 0xF);
    if ((lengthMarker >> 4) != 1 || !isValidIntegerSize(lengthSize) ||
        !holds(offset + 2, quint64(lengthSize)))
        return std::nullopt;
    header.count = bigEndian(offset + 2, lengthSize);
    header.payload = offset + 2 + quint64(lengthSize);
    return header;
}

std::optional<BinaryPropertyListShape::Container>
BinaryPropertyListShape::containerOf(const Header &header) const
{
    const quint64 keyCount = header.type == kDictionary ? header.count : 0;
    // Bounded by the data before multiplying, so that nothing overflows.
    if (header.count > quint64(mData.size()))
        return std::nullopt;
    const quint64 referenceCount = header.count + keyCount;
    if (!holds(header.payload, referenceCount * quint64(mTrailer.referenceSize)))
        return std::nullopt;
    return Container{header.payload, keyCount, referenceCount};
}

std::optional<quint64> BinaryPropertyListShape::reference(const Container &container,
                                                          quint64 index) const
{
    const quint64 object =
        bigEndian(container.referencesStart + index * quint64(mTrailer.referenceSize),
                  mTrailer.referenceSize);
    if (object >= mTrailer.objectCount)
        return std::nullopt;
    return object;
}

// A key must be a text, and the library reading it requires that it hold no U+0000.
Failure BinaryPropertyListShape::checkKey(quint64 object)
{
    KeyCheck &check = mKeyChecks[size_t(object)];
    if (check == KeyCheck::Unchecked) {
        const std::optional<Header> header = headerOf(object);
        const int type = header ? header->type : 0;
        const quint64 unitSize = type == kUtf16Text ? 2 : 1;
        check = KeyCheck::NotText;
        if ((type == kAsciiText || type == kUtf8Text || type == kUtf16Text) &&
            header->count <= quint64(mData.size()) &&
            holds(header->payload, header->count * unitSize)) {
            check = KeyCheck::Valid;
            for (quint64 unit = 0; unit < header->count && check == KeyCheck::Valid; ++unit) {
                if (bigEndian(header->payload + unit * unitSize, int(unitSize)) == 0)
                    check = KeyCheck::HoldsNul;
            }
        }
    }
    if (check == KeyCheck::HoldsNul)
        return Failure::KeyHoldsNul;
    return check == KeyCheck::NotText ? Failure::NotAPropertyList : Failure::None;
}

// Opens a container on the stack, or settles a leaf at once.
Failure BinaryPropertyListShape::enter(std::vector<Frame> &stack, quint64 object)
{
    const std::optional<Header> header = headerOf(object);
    if (!header)
        return Failure::NotAPropertyList;
    if (!isContainer(header->type)) {
        mStates[size_t(object)] = State::Done;
        mValues[size_t(object)] = 1;
        mHeights[size_t(object)] = 1;
        return Failure::None;
    }
    const std::optional<Container> container = containerOf(*header);
    if (!container)
        return Failure::NotAPropertyList;
    if (stack.size() >= size_t(PropertyListLimits::maximumDepth))
        return Failure::TooDeep;
    mStates[size_t(object)] = State::Open;
    stack.push_back(Frame{object, *container});
    return Failure::None;
}

// One step of the walk: the next reference of the innermost open container, or its end.
Failure BinaryPropertyListShape::visit(std::vector<Frame> &stack)
{
    Frame &frame = stack.back();
    if (frame.nextReference == frame.container.referenceCount)
        return leave(stack);
    const quint64 index = frame.nextReference++;
    const std::optional<quint64> child = reference(frame.container, index);
    if (!child)
        return Failure::NotAPropertyList;
    if (index < frame.container.keyCount) {
        if (const Failure failure = checkKey(*child); failure != Failure::None)
            return failure;
    }
    switch (mStates[size_t(*child)]) {
    case State::Open:
        // The object contains itself: the library would never finish reading it.
        return Failure::NotAPropertyList;
    case State::Unvisited:
        if (const Failure failure = enter(stack, *child); failure != Failure::None)
            return failure;
        if (mStates[size_t(*child)] == State::Open)
            return Failure::None;
        break;
    case State::Done:
        break;
    }
    return addChild(stack, *child);
}

Failure BinaryPropertyListShape::leave(std::vector<Frame> &stack)
{
    const Frame finished = stack.back();
    stack.pop_back();
    mStates[size_t(finished.object)] = State::Done;
    mValues[size_t(finished.object)] = finished.values;
    mHeights[size_t(finished.object)] = quint8(finished.height);
    return stack.empty() ? Failure::None : addChild(stack, finished.object);
}

// Counts a settled child into the innermost open container: the library makes the child's
// values once for each reference to it.
Failure BinaryPropertyListShape::addChild(std::vector<Frame> &stack, quint64 child)
{
    Frame &frame = stack.back();
    frame.values =
        std::min(frame.values + mValues[size_t(child)], PropertyListLimits::maximumValues + 1);
    frame.height = std::max(frame.height, 1 + int(mHeights[size_t(child)]));
    if (frame.values > PropertyListLimits::maximumValues)
        return Failure::TooManyValues;
    if (int(stack.size()) - 1 + frame.height > PropertyListLimits::maximumDepth)
        return Failure::TooDeep;
    return Failure::None;
}

// True when the bytes [start, start + length) lie between the header and the offset table.
bool BinaryPropertyListShape::holds(quint64 start, quint64 length) const
{
    return start <= mTrailer.offsetTableStart && length <= mTrailer.offsetTableStart - start;
}

quint64 BinaryPropertyListShape::bigEndian(quint64 offset, int size) const
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(mData[qsizetype(offset) + i]);
    return value;
}
