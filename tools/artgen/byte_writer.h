// Appends fixed-width integers to a byte buffer in a chosen byte order.
// Windows formats (BMP, ICO) are little-endian; PNG is big-endian.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vorn::art {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
public:
    void u8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }

    void le16(std::uint32_t value) {
        u8(value);
        u8(value >> 8);
    }

    void le32(std::uint32_t value) {
        le16(value);
        le16(value >> 16);
    }

    void be32(std::uint32_t value) {
        u8(value >> 24);
        u8(value >> 16);
        u8(value >> 8);
        u8(value);
    }

    void append(std::span<const std::uint8_t> data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }

    std::size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

// Little-endian readers, used by checks that parse what the encoders wrote.
inline std::uint32_t readLe16(std::span<const std::uint8_t> data, std::size_t offset) {
    return static_cast<std::uint32_t>(data[offset]) |
           static_cast<std::uint32_t>(data[offset + 1]) << 8;
}

inline std::uint32_t readLe32(std::span<const std::uint8_t> data, std::size_t offset) {
    return readLe16(data, offset) | readLe16(data, offset + 2) << 16;
}

inline std::uint32_t readBe32(std::span<const std::uint8_t> data, std::size_t offset) {
    return static_cast<std::uint32_t>(data[offset]) << 24 |
           static_cast<std::uint32_t>(data[offset + 1]) << 16 |
           static_cast<std::uint32_t>(data[offset + 2]) << 8 |
           static_cast<std::uint32_t>(data[offset + 3]);
}

}  // namespace vorn::art
