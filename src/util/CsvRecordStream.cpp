#include "CsvRecordStream.h"

#include "CsvScanner.h"

#include <QIODevice>

bool CsvRecordStream::nextRecord(CsvFields &fields)
{
    for (;;) {
        if (mScanner.nextRecord(fields, !mAtEnd))
            return true;
        if (mAtEnd || !readMore())
            return false;
    }
}

bool CsvRecordStream::readMore()
{
    const qsizetype scanned = mScanner.position();
    const qsizetype unscanned = mBuffer.size() - scanned;
    // A record longer than the piece read so far: read more at a time, so that scanning it again
    // from its start costs no more than twice its length in all.
    if (unscanned >= mChunk / 2)
        mChunk *= 2;
    mBuffer.remove(0, scanned);
    mBuffer.resize(unscanned + mChunk);
    const qint64 got = mDevice.read(mBuffer.data() + unscanned, mChunk);
    if (got < 0) {
        mFailed = true;
        mAtEnd = true;
        mBuffer.resize(unscanned);
        mScanner = CsvScanner(mBuffer);
        return false;
    }
    mBuffer.resize(unscanned + got);
    mBytesRead += got;
    if (got == 0 || mDevice.atEnd())
        mAtEnd = true;
    // The first piece may begin with a byte-order mark, which belongs to no title.
    if (mBytesRead == got)
        mBuffer.remove(0, mBuffer.size() - CsvScanner::withoutByteOrderMark(mBuffer).size());
    mScanner = CsvScanner(mBuffer);
    return true;
}
