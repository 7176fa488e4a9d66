#include "session/session_frames.h"

#include "link/frame_codec.h"

#include <QDate>
#include <QTime>

namespace SessionFrames {

namespace {

constexpr int FirstUpperBlock = 16;

QByteArray params(quint8 a = 0, quint8 b = 0, quint8 c = 0, quint8 d = 0, quint8 e = 0) {
    const char bytes[5] = {char(a), char(b), char(c), char(d), char(e)};
    return QByteArray(bytes, 5);
}

} // namespace

quint8 ChunkAddress(int block, int chunk) {
    // Upper image blocks 16, 17, 18 live at panel blocks 18, 20, 22 of page 1.
    const int panelBlock = block < FirstUpperBlock ? block : 18 + 2 * (block - FirstUpperBlock);
    return quint8((panelBlock * 16 + 4 * chunk) & 0xFF);
}

QByteArray WriteChunkFrame(int block, int chunk, const QByteArray& data) {
    const quint8 command = block < FirstUpperBlock ? CmdWritePage0 : CmdWritePage1;
    QByteArray p(1, char(ChunkAddress(block, chunk)));
    p += data.left(4).leftJustified(4, '\0');
    return FrameCodec::BuildFrame(command, p);
}

QByteArray ReadBlockFrame(int block) {
    const quint8 command = block < FirstUpperBlock ? CmdReadPage0 : CmdReadPage1;
    return FrameCodec::BuildFrame(command, params(ChunkAddress(block, 0)));
}

QByteArray EventRecordFrame(quint8 index) {
    return FrameCodec::BuildFrame(CmdEventRecord, params(index));
}

QByteArray StatusRequestFrame() {
    return QByteArray(1, char(StatusRequestByte));
}

QByteArray ReadDateTimeFrame() {
    return FrameCodec::BuildShortCommand(CmdReadDateTime);
}

quint8 EncodeClockValue(int value, bool packedBcd) {
    if (!packedBcd)
        return quint8(value);
    return quint8((value / 10 % 10) << 4 | value % 10);
}

QByteArray WriteDateFrame(const QDate& date, bool packedBcd) {
    return FrameCodec::BuildFrame(CmdWriteDate, params(EncodeClockValue(date.day(), packedBcd),
                                                       EncodeClockValue(date.month(), packedBcd),
                                                       EncodeClockValue(date.year() % 100, packedBcd)));
}

QByteArray WriteTimeFrame(const QTime& time, bool packedBcd) {
    return FrameCodec::BuildFrame(CmdWriteTime, params(EncodeClockValue(time.second(), packedBcd),
                                                       EncodeClockValue(time.minute(), packedBcd),
                                                       EncodeClockValue(time.hour(), packedBcd)));
}

QByteArray CommandFrame(quint8 command, quint8 parameter) {
    return FrameCodec::BuildFrame(CmdCommand, params(command, parameter));
}

} // namespace SessionFrames
