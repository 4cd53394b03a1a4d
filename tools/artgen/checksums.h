// Checksums used by the PNG container: CRC-32 (ISO 3309, as in PNG chunks)
// and Adler-32 (the zlib stream trailer).
#pragma once

#include <cstdint>
#include <span>

namespace vorn::art {

// CRC-32 continuing from `crc` (pass 0 to start); reflected polynomial 0xEDB88320.
std::uint32_t crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

// Adler-32 of the whole buffer, as zlib defines it (starts at 1).
std::uint32_t adler32(std::span<const std::uint8_t> data);

}  // namespace vorn::art
