#pragma once
// The GIF block bytes the reader, the writer and the size count share, so the three agree on the
// file layout by construction.
#include <cstddef>
#include <cstdint>

namespace gifblock {

// Block introducers.
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

// Extension labels, the byte after kExtension.
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;

// Packed fields of the logical screen and image descriptors.
constexpr uint8_t kTableFlag = 0x80;
constexpr uint8_t kInterlaceFlag = 0x40;
constexpr uint8_t kTableSizeMask = 0x07;

// The graphic control's packed byte: disposal in bits 2-4, transparency in bit 0.
constexpr int kDisposalShift = 2;
constexpr uint32_t kDisposalMask = 0x07;
constexpr uint8_t kTransparentFlag = 0x01;

// Image sizes and offsets are 16-bit fields.
constexpr uint32_t kMaxImageSide = 0xFFFF;

// Fixed block sizes.
constexpr uint8_t kGraphicControlSize = 4;
constexpr size_t kGraphicControlBytes = 2 + 1 + kGraphicControlSize + 1;  // with label and terminator
constexpr size_t kImageDescriptorBytes = 10;                              // separator included
constexpr size_t kScreenDescriptorBytes = 7;
constexpr size_t kSignatureBytes = 6;

// The looping block: application id "NETSCAPE2.0", then sub-block {1, count low, count high}.
constexpr char kLoopingId[] = "NETSCAPE2.0";
constexpr uint8_t kApplicationIdSize = 11;
constexpr uint8_t kLoopingSubBlockId = 1;
constexpr uint8_t kLoopingSubBlockSize = 3;
constexpr size_t kLoopingBytes = 2 + 1 + kApplicationIdSize + 1 + kLoopingSubBlockSize + 1;

// Data sub-blocks carry at most this many bytes after their length byte.
constexpr size_t kMaxSubBlock = 255;

}  // namespace gifblock
