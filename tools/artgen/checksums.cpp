#include "checksums.h"

#include <algorithm>
#include <array>

namespace vorn::art {

namespace {

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr std::uint32_t kAdlerModulus = 65521u;
// Largest run of bytes whose sums cannot overflow 32 bits before reducing.
constexpr std::size_t kAdlerBlock = 5552;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = makeCrcTable();

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> data, std::uint32_t crc) {
    std::uint32_t c = ~crc;
    for (std::uint8_t byte : data) {
        c = kCrcTable[(c ^ byte) & 0xFFu] ^ (c >> 8);
    }
    return ~c;
}

std::uint32_t adler32(std::span<const std::uint8_t> data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t end = std::min(data.size(), done + kAdlerBlock);
        for (; done < end; ++done) {
            a += data[done];
            b += a;
        }
        a %= kAdlerModulus;
        b %= kAdlerModulus;
    }
    return b << 16 | a;
}

}  // namespace vorn::art
