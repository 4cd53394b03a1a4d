// Reads what the tests check of a Windows program file: its machine and
// subsystem, the DLLs it imports and the resources it carries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

namespace vorn::e2e {

struct PeImage {
  std::uint16_t machine = 0;        // 0x14C i386, 0x8664 x86-64
  std::uint16_t optionalMagic = 0;  // 0x10B PE32, 0x20B PE32+
  std::uint16_t subsystem = 0;      // 2 GUI, 3 console
  std::set<std::string> importedDlls;  // lower-cased
  // (type, name) of every resource: type 6 string block, 14 icon group, 16 version...
  std::set<std::pair<std::uint32_t, std::uint32_t>> resources;
  // The text of string resource 1, UTF-8 (empty when missing).
  std::string string1;
};

// Throws std::runtime_error when the file is not a well-formed PE image.
PeImage ReadPeImage(const std::filesystem::path& file);

}  // namespace vorn::e2e
