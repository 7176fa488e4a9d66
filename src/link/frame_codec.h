#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The envelope of the frames exchanged with an Orvan panel over an established modem connection.
//
// Program to panel: 0xB3, command byte, parameters, and a checksum that is the XOR of every
// preceding byte of the frame (start and command byte included). The connection and session
// frames are eight bytes long (five parameter bytes); the one exception is the status request,
// the single byte 0xB8 (see session_frames.h).
//
// Panel to program: the characters "ZRV", a type byte that fixes the total length, a payload and
// a checksum chosen so that the XOR of the type byte, the payload and the checksum is 0 (the
// header is not part of the check).
//
// Frames hold 0x00 and bytes above 0x7F: they are always QByteArray (length-counted), never
// zero-terminated text. Everything here is a pure function; nothing touches the port.
namespace FrameCodec {

inline constexpr quint8 StartByte = 0xB3;
inline constexpr char Header[] = "ZRV";
inline constexpr int HeaderSize = 3;

// Command bytes of the connection frames.
inline constexpr quint8 CmdIdentify = 0x43; // 'C': identification request
inline constexpr quint8 CmdCodes = 0x28;    // '(': panel code and PC code
inline constexpr quint8 CmdProceed = 0x50;  // 'P': codes accepted, the session follows
inline constexpr quint8 CmdCallback = 0x56; // 'V': hang up and call the PC back

// Type bytes of the frames the panel sends.
inline constexpr quint8 TypeStatus = 0x18;      // status answer, 11 bytes
inline constexpr quint8 TypeIdentify = 0x43;    // 'C' identification answer, 9 bytes
inline constexpr quint8 TypeCallback = 0x56;    // 'V' callback agreed, 5 bytes
inline constexpr quint8 TypeBlockUpper = 0x70;  // block read answer, upper page, 22 bytes
inline constexpr quint8 TypeBlock = 0x88;       // block read answer, 22 bytes
inline constexpr quint8 TypeRefused = 0xA9;     // refusal ending a block operation, 5 bytes
inline constexpr quint8 TypeB8 = 0xB8;          // accepted and delivered, never interpreted, 7 bytes
inline constexpr quint8 TypeAck = 0xC7;         // accepted, 5 bytes
inline constexpr quint8 TypeNak = 0xD5;         // rejected, the sender repeats, 5 bytes
inline constexpr quint8 TypeEventRecord = 0xE2; // event-buffer record, 22 bytes
inline constexpr quint8 TypeDateTime = 0xF1;    // date and time answer, 11 bytes

// Answer slice lengths the consumers ask for (type byte first, checksum last).
inline constexpr int ShortAnswerSlice = 2; // five-byte answers: type and checksum
inline constexpr int IdentifySlice = 6;    // 'C': type, product, version, code 1, code 2, checksum
inline constexpr int StatusSlice = 8;      // 0x18 and 0xF1: type, six bytes, checksum
inline constexpr int BlockSlice = 19;      // 0x88, 0x70, 0xE2: type, address/index, 16 data, checksum

// XOR of the bytes, starting from 0.
quint8 XorChecksum(const QByteArray& bytes);

// 0xB3, command, the parameters, and the checksum over all of them.
QByteArray BuildFrame(quint8 command, const QByteArray& parameters);

// The eight-byte frame 0xB3, command, five 0x00, checksum (identification, proceed, callback).
QByteArray BuildShortCommand(quint8 command);

// The general text-to-bytes helper: pairs of hexadecimal digits ("0"-"9", "A"-"F", "a"-"f"),
// high nibble first. A text of odd length is padded with a leading "0"; a text holding any other
// character converts to an empty result.
QByteArray HexToBytes(const QString& text);
// Upper-case hexadecimal text of the bytes, two digits each.
QString BytesToHex(const QByteArray& bytes);

// Packs a four-digit panel or PC code into two bytes: every "0" becomes "A" (nibble 10), then
// characters 1-2 and 3-4 are converted by HexToBytes each. "1203" packs to 12 A3, "0000" to AA AA.
// A pair holding a non-hexadecimal character contributes no byte, so only a code of four digits
// is sure to give two bytes.
QByteArray PackCode(const QString& code);
// The inverse, as the reception path reads the code a calling panel reports: the hexadecimal text
// of the bytes with every "A" turned back into "0" (12 A3 gives "1203").
QString UnpackCode(const QByteArray& packed);

// The code verification frame: 0xB3, 0x28, packed panel code, packed PC code, 0x00, checksum.
// The reception path, which proves only the PC code, passes the PC code twice. Returns an empty
// byte string, so that nothing malformed reaches the panel, when either code does not pack to
// exactly two bytes.
QByteArray BuildCodeFrame(const QString& panelCode, const QString& pcCode);

// Total length (header included) of a panel frame of this type byte; 0 for a type the program
// does not accept.
int FrameLength(quint8 type);

// Checks a delivered frame text (header included) and returns up to `count` bytes that follow the
// header, type byte first. The header is located by its third character ("V"), which must be
// preceded by "Z" and "R". The slice is returned only when the header is found, the slice is not
// empty and the XOR over the slice is 0; a shorter frame yields a shorter slice, still checked.
// Consumers dispatch on the first byte of the slice.
std::optional<QByteArray> AnswerSlice(const QByteArray& frameText, int count);

// The version byte of an identification answer as "M.m": decimal high nibble, ".", decimal low
// nibble (0x13 gives "1.3", 0x1A gives "1.10").
QString DecodeVersion(quint8 versionByte);

} // namespace FrameCodec
