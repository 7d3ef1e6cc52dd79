#include "CsvScanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr qsizetype kBlock = 64;

struct BlockMasks
{
    std::uint64_t quotes = 0;
    std::uint64_t commas = 0;
    std::uint64_t lineEnds = 0;
};

#if defined(__SSE2__)
std::uint64_t matches(const __m128i (&chunks)[4], char c)
{
    const __m128i wanted = _mm_set1_epi8(c);
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const auto bits =
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[i], wanted)));
        mask |= std::uint64_t(bits) << (16 * i);
    }
    return mask;
}

BlockMasks classify(const char *block)
{
    __m128i chunks[4];
    for (int i = 0; i < 4; ++i)
        chunks[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * i));
    return {matches(chunks, '"'), matches(chunks, ','),
            matches(chunks, '\n') | matches(chunks, '\r')};
}
#else
BlockMasks classify(const char *block)
{
    BlockMasks masks;
    for (int i = 0; i < kBlock; ++i) {
        const char c = block[i];
        const std::uint64_t bit = std::uint64_t(1) << i;
        if (c == '"')
            masks.quotes |= bit;
        else if (c == ',')
            masks.commas |= bit;
        else if (c == '\n' || c == '\r')
            masks.lineEnds |= bit;
    }
    return masks;
}
#endif

// The 64 bytes of text from start; a short last block is classified from a copy padded with
// bytes that are nothing.
BlockMasks classifyAt(QByteArrayView text, qsizetype start)
{
    const qsizetype available = text.size() - start;
    if (available >= kBlock)
        return classify(text.data() + start);
    char padded[kBlock] = {};
    std::memcpy(padded, text.data() + start, static_cast<size_t>(available));
    return classify(padded);
}

// All ones when the byte after the block lies inside quotes, else none.
std::uint64_t insideAfter(std::uint64_t inside)
{
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(inside) >> 63);
}

// Bit i set when an odd number of quotes lies at or before byte i: inside quotes there.
std::uint64_t quoteParity(std::uint64_t quotes)
{
    for (int shift = 1; shift < 64; shift *= 2)
        quotes ^= quotes << shift;
    return quotes;
}

// Appending without QByteArray::append's general insertion, since an export's texts are appended
// a few bytes at a time; growing by half again, so that a large text wastes little room.
void appendBytes(QByteArray &text, QByteArrayView bytes)
{
    const qsizetype at = text.size();
    if (text.capacity() < at + bytes.size())
        text.reserve(std::max(text.capacity() + text.capacity() / 2, at + bytes.size()));
    text.resize(at + bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(text.data() + at, bytes.data(), static_cast<size_t>(bytes.size()));
}

} // namespace

bool CsvScanner::nextRecord(CsvFields &fields, bool moreToCome)
{
    fields.clear();
    const qsizetype size = mText.size();
    if (mPosition >= size)
        return false;
    qsizetype fieldStart = mPosition;
    for (;;) {
        const qsizetype separator = nextSeparator();
        if (separator < 0) {
            if (moreToCome) {
                fields.clear();
                restartBlocks();
                return false;
            }
            fields.push_back(mText.sliced(fieldStart));
            mPosition = size;
            return true;
        }
        // The LF of a CRLF that ended the record before.
        if (separator < fieldStart)
            continue;
        fields.push_back(mText.sliced(fieldStart, separator - fieldStart));
        const char c = mText[separator];
        if (c == ',') {
            fieldStart = separator + 1;
            continue;
        }
        qsizetype next = separator + 1;
        if (c == '\r') {
            // A CR as the last byte read may be the first half of a CRLF still to come.
            if (moreToCome && next >= size) {
                fields.clear();
                restartBlocks();
                return false;
            }
            if (next < size && mText[next] == '\n')
                ++next;
        }
        mPosition = next;
        return true;
    }
}

qsizetype CsvScanner::nextSeparator()
{
    while (mSeparators == 0) {
        if (!classifyNextBlock())
            return -1;
    }
    const int bit = std::countr_zero(mSeparators);
    mSeparators &= mSeparators - 1;
    return mBlockStart + bit;
}

bool CsvScanner::classifyNextBlock()
{
    const qsizetype start = mBlockStart < 0 ? mPosition : mBlockStart + kBlock;
    if (start >= mText.size())
        return false;
    const BlockMasks masks = classifyAt(mText, start);
    const std::uint64_t inside = quoteParity(masks.quotes) ^ mInsideAfterBlock;
    mInsideAfterBlock = insideAfter(inside);
    mSeparators = (masks.commas | masks.lineEnds) & ~inside;
    mBlockStart = start;
    return true;
}

void CsvScanner::restartBlocks()
{
    mBlockStart = -1;
    mSeparators = 0;
    mInsideAfterBlock = 0;
}

qsizetype CsvScanner::countRecords(QByteArrayView text, qsizetype atMost)
{
    qsizetype records = 0;
    std::uint64_t inside = 0;
    // The text's start counts as just after a line end.
    std::uint64_t lineEndBefore = 1;
    bool endsWithLineEnd = false;
    for (qsizetype start = 0; start < text.size() && records <= atMost; start += kBlock) {
        const BlockMasks masks = classifyAt(text, start);
        inside = quoteParity(masks.quotes) ^ insideAfter(inside);
        const std::uint64_t ends = masks.lineEnds & ~inside;
        // A line end right after another closes nothing: a blank line, or a CRLF's LF.
        records += std::popcount(ends & ~((ends << 1) | lineEndBefore));
        lineEndBefore = ends >> 63;
        const qsizetype last = std::min(kBlock, text.size() - start) - 1;
        endsWithLineEnd = (ends >> last) & 1;
    }
    if (!text.isEmpty() && !endsWithLineEnd && records <= atMost)
        ++records;
    return records;
}

QByteArray CsvScanner::fieldText(QByteArrayView raw)
{
    QByteArray text;
    appendFieldText(text, raw);
    return text;
}

qsizetype CsvScanner::appendFieldText(QByteArray &text, QByteArrayView raw)
{
    if (!raw.contains('"')) {
        appendBytes(text, raw);
        return raw.size();
    }
    // Quotes open and close quoted stretches; a doubled quote inside one is a quote. The text
    // between quotes is copied a stretch at a time.
    const qsizetype before = text.size();
    bool inside = false;
    qsizetype at = 0;
    while (at < raw.size()) {
        const qsizetype quote = raw.indexOf('"', at);
        if (quote < 0) {
            appendBytes(text, raw.sliced(at));
            break;
        }
        appendBytes(text, raw.sliced(at, quote - at));
        at = quote + 1;
        if (inside && at < raw.size() && raw[at] == '"') {
            appendBytes(text, "\"");
            ++at;
        } else {
            inside = !inside;
        }
    }
    return text.size() - before;
}

QByteArrayView CsvScanner::withoutByteOrderMark(QByteArrayView text)
{
    return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

bool CsvScanner::isBlank(const CsvFields &fields)
{
    for (const QByteArrayView field : fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}
