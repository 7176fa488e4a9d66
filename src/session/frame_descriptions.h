#pragma once

#include <QByteArray>
#include <QString>

// What a frame on the line means, in a few words, for the line trace: the frames the program sends
// (0xB3 frames and the single status byte) and the "ZRV" frames the panel answers with. A frame
// that does not check (its checksum) says so; bytes that are not a frame give an empty text.
namespace FrameDescriptions {

QString DescribeSent(const QByteArray& bytes);
// A whole delivered frame, header included.
QString DescribeReceived(const QByteArray& frame);

} // namespace FrameDescriptions
