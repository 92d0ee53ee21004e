#pragma once

// Hand-made PNG files for tests of hostile or unusual bitmaps: the signature and chunks with
// their lengths and CRCs, so that a test can write headers no encoder would (huge sizes,
// interlacing) or stream rows it never holds in memory. Needs zlib.
#include <QByteArray>

#include <zlib.h>

// `value` as four big-endian bytes.
inline void appendBigEndian(QByteArray& out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xff);
}

// The eight bytes every PNG file starts with.
inline QByteArray pngSignature() { return QByteArray("\x89PNG\r\n\x1a\n", 8); }

// One chunk: the length of `data`, the four-letter `type`, the data and the CRC of type and data.
inline void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    appendBigEndian(png, quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    png += body;
    appendBigEndian(png, quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()),
                                       uInt(body.size()))));
}
