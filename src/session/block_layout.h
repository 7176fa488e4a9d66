#pragma once

#include "link/frame_codec.h"
#include "programming/programming_images.h"
#include "session/session_exchange.h"

#include <QtGlobal>

// How the programming images divide into the blocks and chunks the panel transfers.
namespace BlockLayout {

inline constexpr int BlockSize = 16;
inline constexpr int ChunkSize = 4;
inline constexpr int ChunksPerBlock = 4;

// Time-outs and pauses of the block transfers.
inline constexpr int ChunkAckTimeoutMs = 4000;
inline constexpr int BlockAnswerTimeoutMs = 3000;

// Blocks 0..lastBlock.
inline quint32 MaskUpTo(int lastBlock) {
    return (quint32(1) << (lastBlock + 1)) - 1;
}

// The image family of a product code: the 5-zone model for code 2, else the 10-zone family.
inline ProductFamily ImageFamily(int product) {
    return product == 2 ? ProductFamily::FiveZone : ProductFamily::TenZone;
}

// A block transfer's answer that is not the one waited for: a rejection is sent again, a refusal
// ends the operation, anything else is not for this request.
inline AnswerVerdict OtherAnswerVerdict(quint8 type) {
    if (type == FrameCodec::TypeNak)
        return AnswerVerdict::Reject;
    if (type == FrameCodec::TypeRefused)
        return AnswerVerdict::Refuse;
    return AnswerVerdict::Ignore;
}

} // namespace BlockLayout
