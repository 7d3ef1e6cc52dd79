// CSV records read from a file a piece at a time, so that a large export costs no more memory than
// its longest record and a reader can say how far it has come.
#pragma once

#include "CsvScanner.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <algorithm>

class QIODevice;

class CsvRecordStream
{
public:
    // Reads the device chunkSize bytes at a time (at least 4, so that a byte-order mark comes in
    // one piece), more for records longer than that.
    explicit CsvRecordStream(QIODevice &device, qsizetype chunkSize = qsizetype(1) << 20)
        : mDevice(device)
        , mChunk(std::max<qsizetype>(chunkSize, 4))
    {
    }

    // The next record's raw fields (see CsvScanner); the views stay valid until the next call.
    // False at the end of the file, or when reading fails (see failed()).
    bool nextRecord(CsvFields &fields);

    // How many bytes of the file have been read so far.
    qint64 bytesRead() const { return mBytesRead; }
    bool failed() const { return mFailed; }

private:
    // Reads more of the file behind the text not yet scanned; false when nothing more came.
    bool readMore();

    QIODevice &mDevice;
    QByteArray mBuffer;
    // Over the buffer as last filled; its position is where the unread records begin.
    CsvScanner mScanner{QByteArrayView()};
    qsizetype mChunk;
    qint64 mBytesRead = 0;
    bool mAtEnd = false;
    bool mFailed = false;
};
