// What the built Vorn.scr files carry: the right format, a GUI subsystem, no
// runtime DLLs beyond the system's, and the resources Windows shows.
#include <gtest/gtest.h>

#include "harness.h"
#include "pe_image.h"

namespace vorn::e2e {
namespace {

constexpr std::uint32_t kRtBitmap = 2;
constexpr std::uint32_t kRtString = 6;
constexpr std::uint32_t kRtGroupIcon = 14;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kRtManifest = 24;

// DLLs every Windows has; anything else (libstdc++, libgcc, winpthread) would
// keep the saver from starting on a user's machine.
const std::set<std::string> kSystemDlls = {
    "kernel32.dll", "user32.dll",   "gdi32.dll",   "winmm.dll",  "msvcrt.dll",
    "shell32.dll",  "advapi32.dll", "comctl32.dll", "ole32.dll", "api-ms-win-crt-runtime-l1-1-0.dll"};

void ExpectProgramFile(const fs::path& file, std::uint16_t machine, std::uint16_t magic) {
  ASSERT_TRUE(fs::exists(file)) << file << " is missing: build the win64 and win32 presets";
  const PeImage image = ReadPeImage(file);
  EXPECT_EQ(image.machine, machine) << file;
  EXPECT_EQ(image.optionalMagic, magic) << file;
  EXPECT_EQ(image.subsystem, 2) << file << " is not a GUI program";
  for (const std::string& dll : image.importedDlls) {
    EXPECT_TRUE(kSystemDlls.contains(dll)) << file << " imports " << dll;
  }
  EXPECT_TRUE(image.resources.contains({kRtString, 1})) << "string block 1";
  EXPECT_EQ(image.string1, "Vorn");
  EXPECT_TRUE(image.resources.contains({kRtGroupIcon, 1})) << "program icon";
  EXPECT_TRUE(image.resources.contains({kRtVersion, 1})) << "version";
  EXPECT_TRUE(image.resources.contains({kRtManifest, 1})) << "manifest";
  EXPECT_TRUE(image.resources.contains({kRtBitmap, 101})) << "sprite sheet";
}

TEST(ProgramFile, SixtyFourBitBuildIsAPe32PlusGuiProgramWithItsResources) {
  const BenchPaths paths = DefaultBenchPaths();
  ExpectProgramFile(paths.vornScr, 0x8664, 0x20B);
}

TEST(ProgramFile, ThirtyTwoBitBuildIsAPe32GuiProgramWithItsResources) {
  const BenchPaths paths = DefaultBenchPaths();
  ExpectProgramFile(paths.sourceDir / "build" / "win32" / "Vorn.scr", 0x14C, 0x10B);
}

}  // namespace
}  // namespace vorn::e2e
