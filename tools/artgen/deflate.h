// A small zlib (RFC 1950) stream writer: one deflate (RFC 1951) block with the
// fixed Huffman codes and greedy LZ77 matching. Enough to keep PNGs of mostly
// black art small; it makes no attempt to match zlib's ratio.
#pragma once

#include "byte_writer.h"

#include <span>

namespace vorn::art {

// The complete zlib stream: header, compressed data and Adler-32 trailer.
Bytes zlibCompress(std::span<const std::uint8_t> data);

}  // namespace vorn::art
