#pragma once

#include <QByteArray>

class QDate;
class QTime;

// The requests a session sends to a connected panel, in the envelope of frame_codec.h (eight
// bytes: 0xB3, command, five parameters, checksum), except the status request, a single byte.
//
// Panel memory is addressed by one address byte within one of two pages, the page chosen by the
// command byte: image blocks 0..15 are page 0 (write 0xC4, read 0x88, address block*16 + 4*chunk);
// image blocks 16, 17, 18 are panel blocks 18, 20, 22 of page 1 (write 0xA5, read 0x70, address
// the low eight bits of panel block*16, plus 4*chunk: 0x20, 0x40, 0x60).
namespace SessionFrames {

inline constexpr quint8 CmdWritePage0 = 0xC4;
inline constexpr quint8 CmdWritePage1 = 0xA5;
inline constexpr quint8 CmdReadPage0 = 0x88;
inline constexpr quint8 CmdReadPage1 = 0x70;
inline constexpr quint8 CmdEventRecord = 0xE2;
inline constexpr quint8 CmdReadDateTime = 0xF1;
inline constexpr quint8 CmdWriteDate = 0x17;
inline constexpr quint8 CmdWriteTime = 0x48;
inline constexpr quint8 CmdCommand = 0x36;
inline constexpr quint8 StatusRequestByte = 0xB8;

// Remote command bytes carried by CommandFrame.
inline constexpr quint8 CommandBypass = 0x04; // parameter: bypass mask of zones 1..8
inline constexpr quint8 CommandPgmOn = 0xA7;  // parameter: PGM 1..4
inline constexpr quint8 CommandPgmOff = 0x22; // parameter: PGM 1..4
inline constexpr quint8 CommandArm = 0x54;    // parameter: partition 1 (A) or 2 (B)
inline constexpr quint8 CommandDisarm = 0x4A; // parameter: partition 1 (A) or 2 (B)

// Panel address byte of chunk `chunk` (0..3) of image block `block` (0..18).
quint8 ChunkAddress(int block, int chunk);

// Writes the four bytes `data` as chunk `chunk` of image block `block`.
QByteArray WriteChunkFrame(int block, int chunk, const QByteArray& data);
// Asks for image block `block` (the address of its chunk 0).
QByteArray ReadBlockFrame(int block);
// Asks for event record `index`.
QByteArray EventRecordFrame(quint8 index);
// The single byte 0xB8.
QByteArray StatusRequestFrame();
QByteArray ReadDateTimeFrame();
// The panel's clock values: packed BCD (two decimal digits, high nibble first) for the 10-zone
// family, the plain binary value for the 5-zone model. The year is its last two digits.
quint8 EncodeClockValue(int value, bool packedBcd);
QByteArray WriteDateFrame(const QDate& date, bool packedBcd);
QByteArray WriteTimeFrame(const QTime& time, bool packedBcd);
// A remote command: command byte and its parameter.
QByteArray CommandFrame(quint8 command, quint8 parameter);

} // namespace SessionFrames
