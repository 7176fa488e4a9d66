#pragma once

#include "programming/product_codes.h"

#include <QtGlobal>

// Shape of the programming memory image that mirrors a panel's programming area.
//
// The image is moved to and from the panel in blocks of 16 bytes, and written in chunks of 4 bytes
// (four chunks per block). The 10-zone family (product codes 1, 3, 4) has 19 blocks, of which blocks
// 16..18 lie on the panel's second memory page; the 5-zone model (product code 2) has 16.

inline constexpr int kBlockSize = 16;
inline constexpr int kChunkSize = 4;
inline constexpr int kChunksPerBlock = kBlockSize / kChunkSize;
inline constexpr int kMaxBlocks = 19;
inline constexpr int kMaxImageSize = kMaxBlocks * kBlockSize;

// Blocks of the family's image (a family of no model is given the 10-zone shape).
constexpr int BlockCount(ProductFamily family) {
    return family == ProductFamily::FiveZone ? 16 : 19;
}
constexpr int ImageSize(ProductFamily family) {
    return BlockCount(family) * kBlockSize;
}
constexpr int LastBlock(ProductFamily family) {
    return BlockCount(family) - 1;
}

// Image byte n lies in block n div 16, chunk (n mod 16) div 4.
constexpr int BlockOfByte(int n) {
    return n / kBlockSize;
}
constexpr int ChunkOfByte(int n) {
    return (n % kBlockSize) / kChunkSize;
}

// The family whose image a product code uses. Codes outside 1..4 have no programming editor;
// they are taken as the 10-zone family so that an image always has a shape.
inline ProductFamily ImageFamilyOf(int productCode) {
    const ProductFamily family = FamilyOf(productCode);
    Q_ASSERT(family != ProductFamily::None);
    return family == ProductFamily::None ? ProductFamily::TenZone : family;
}

// An inclusive range of image bytes.
struct ByteRange {
    int first;
    int last;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};
