#include "deflate.h"

#include "checksums.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace vorn::art {

namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kWindowSize = 32768;
constexpr int kHashBits = 15;
constexpr int kMaxChainSteps = 64;  // how far back through equal hashes to look
constexpr int kEndOfBlock = 256;
constexpr int kNoPosition = -1;

// Deflate length codes 257..285: smallest length of each and its extra bits.
constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                             15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Deflate distance codes 0..29.
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,    65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Packs bits least-significant first, as deflate requires.
class BitWriter {
public:
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            pushBit((value >> i) & 1u);
        }
    }

    // Huffman codes go most-significant bit first.
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) {
            pushBit((value >> i) & 1u);
        }
    }

    Bytes finish() {
        if (used_ > 0) {
            out_.push_back(current_);
        }
        return std::move(out_);
    }

private:
    void pushBit(std::uint32_t bit) {
        current_ = static_cast<std::uint8_t>(current_ | bit << used_);
        if (++used_ == 8) {
            out_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }

    Bytes out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// Writes one literal/length symbol (0..287) with the fixed Huffman code.
void writeSymbol(BitWriter& out, int symbol) {
    if (symbol < 144) {
        out.code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.code(symbol - 256, 7);
    } else {
        out.code(0xC0 + symbol - 280, 8);
    }
}

template <std::size_t N>
int codeIndex(const std::array<int, N>& bases, int value) {
    int index = 0;
    while (index + 1 < static_cast<int>(N) && bases[index + 1] <= value) {
        ++index;
    }
    return index;
}

void writeMatch(BitWriter& out, int length, int distance) {
    const int lengthCode = codeIndex(kLengthBase, length);
    writeSymbol(out, 257 + lengthCode);
    out.bits(length - kLengthBase[lengthCode], kLengthExtra[lengthCode]);
    const int distanceCode = codeIndex(kDistanceBase, distance);
    out.code(distanceCode, 5);
    out.bits(distance - kDistanceBase[distanceCode], kDistanceExtra[distanceCode]);
}

class MatchFinder {
public:
    explicit MatchFinder(std::span<const std::uint8_t> data)
        : data_(data), head_(std::size_t{1} << kHashBits, kNoPosition),
          previous_(data.size(), kNoPosition) {}

    // Records `pos` as a place later matches may refer back to.
    void insert(int pos) {
        if (pos + kMinMatch > size()) {
            return;
        }
        const std::uint32_t h = hashAt(pos);
        previous_[pos] = head_[h];
        head_[h] = pos;
    }

    // Longest earlier match for the bytes at `pos`; length 0 when none.
    std::pair<int, int> longest(int pos) const {
        int bestLength = 0;
        int bestDistance = 0;
        if (pos + kMinMatch > size()) {
            return {0, 0};
        }
        int candidate = head_[hashAt(pos)];
        for (int step = 0; candidate != kNoPosition && step < kMaxChainSteps; ++step) {
            if (pos - candidate > kWindowSize) {
                break;
            }
            const int length = matchLength(candidate, pos);
            if (length > bestLength) {
                bestLength = length;
                bestDistance = pos - candidate;
            }
            candidate = previous_[candidate];
        }
        return bestLength >= kMinMatch ? std::pair{bestLength, bestDistance} : std::pair{0, 0};
    }

private:
    int size() const { return static_cast<int>(data_.size()); }

    std::uint32_t hashAt(int pos) const {
        const std::uint32_t key = static_cast<std::uint32_t>(data_[pos]) << 16 |
                                  static_cast<std::uint32_t>(data_[pos + 1]) << 8 | data_[pos + 2];
        constexpr std::uint32_t kMultiplier = 2654435761u;  // Knuth's multiplicative hash
        return (key * kMultiplier) >> (32 - kHashBits);
    }

    int matchLength(int from, int pos) const {
        const int limit = std::min(kMaxMatch, size() - pos);
        int length = 0;
        while (length < limit && data_[from + length] == data_[pos + length]) {
            ++length;
        }
        return length;
    }

    std::span<const std::uint8_t> data_;
    std::vector<int> head_;
    std::vector<int> previous_;
};

Bytes deflateFixed(std::span<const std::uint8_t> data) {
    BitWriter out;
    out.bits(1, 1);  // BFINAL: this is the only block
    out.bits(1, 2);  // BTYPE 01: fixed Huffman codes
    MatchFinder finder(data);
    int pos = 0;
    const int size = static_cast<int>(data.size());
    while (pos < size) {
        const auto [length, distance] = finder.longest(pos);
        if (length == 0) {
            writeSymbol(out, data[pos]);
            finder.insert(pos++);
            continue;
        }
        writeMatch(out, length, distance);
        for (int end = pos + length; pos < end; ++pos) {
            finder.insert(pos);
        }
    }
    writeSymbol(out, kEndOfBlock);
    return out.finish();
}

}  // namespace

Bytes zlibCompress(std::span<const std::uint8_t> data) {
    constexpr std::uint8_t kMethodDeflate32K = 0x78;  // CM 8, 32 KiB window
    constexpr std::uint8_t kFlagsCheck = 0x01;        // makes the header a multiple of 31
    ByteWriter stream;
    stream.u8(kMethodDeflate32K);
    stream.u8(kFlagsCheck);
    stream.append(deflateFixed(data));
    stream.be32(adler32(data));
    return stream.take();
}

}  // namespace vorn::art
