// The settings file as the real platform reads and writes it, through the
// program's own routines (tests/e2e/win32/settings_probe.cpp).
#include <gtest/gtest.h>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireHelperBuilt(DefaultBenchPaths(), "settings_probe.exe");
    bench_ = &Bench::Shared();
    folder_ = std::make_unique<ProgramFolder>(bench_->Paths().Helper("settings_probe.exe"),
                                              bench_->Paths().artifactsDir);
  }

  std::string Probe(const std::vector<std::string>& args) {
    auto probe = bench_->Wine().Launch(folder_->Program(), args, folder_->Dir());
    EXPECT_EQ(probe->WaitExit(Deadline::In(20s)), 0) << probe->LogTail();
    std::string out = probe->Output();
    std::erase(out, '\r');
    return out;
  }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> folder_;
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  EXPECT_EQ(Probe({"read"}), "Speed=5\nNum=200\nIntval=30\n");
}

TEST_F(SettingsFileTest, HandWrittenValuesAreReadAsNumbers) {
  folder_->WriteSettings("[Section]\r\nSpeed= 7\r\nNum=1000\r\nIntval=2.5\r\n");
  EXPECT_EQ(Probe({"read"}), "Speed=7\nNum=1000\nIntval=2\n");
  folder_->WriteSettings("[section]\r\nspeed = 3.5 \r\nNUM=\"150\"\r\n");
  EXPECT_EQ(Probe({"read"}), "Speed=4\nNum=150\nIntval=30\n");
}

TEST_F(SettingsFileTest, ANonNumberIsZeroAndTheOthersAreStillRead) {
  folder_->WriteSettings("[Section]\r\nSpeed=abc\r\nNum=2147483648\r\nIntval=\r\n");
  EXPECT_EQ(Probe({"read"}), "Speed=0\nNum=0\nIntval=30\n");
}

TEST_F(SettingsFileTest, WrittenValuesReadBackAndOtherKeysStay) {
  folder_->WriteSettings("[Other]\r\nKeep=yes\r\n[Section]\r\nMine=1\r\n");
  Probe({"write", "6", "200", "-3"});
  EXPECT_EQ(Probe({"read"}), "Speed=6\nNum=200\nIntval=-3\n");
  const std::string text = folder_->ReadFile("Vorn.ini").value_or("");
  EXPECT_NE(text.find("Keep=yes"), std::string::npos) << text;
  EXPECT_NE(text.find("Mine=1"), std::string::npos) << text;
}

}  // namespace
}  // namespace vorn::e2e
