#include "saver/saver.h"

#include <gmock/gmock.h>

#include "fake_platform.h"

namespace vorn {
namespace {

using testing::Call;
using ::testing::ElementsAre;
using testing::FakePlatform;
using ::testing::MatchesRegex;

struct SaverRig {
  FakePlatform platform;
  Settings settings{5, 2, 30};
  VornS saver;
  // A saver started with "/s" (the cursor hidden: counter -1) that records its drawing.
  explicit SaverRig(std::int64_t framePeriod = kFramePeriodMicroseconds)
      : saver(platform, settings, -1, framePeriod) {
    platform.argumentText = "/s";
    platform.recordDrawing = true;
  }
  // Runs the saver; `onYield` plays the user in every DoEvents, given its number.
  void Run(std::function<void(int)> onYield) {
    platform.onDoEvents = std::move(onYield);
    saver.Load();
  }
};

// A set-up step missing or reordered, no burst to the centre, or a frame not drawn in order.
TEST(Saver, SetsUpThenDrawsFramesFromTheCentre) {
  SaverRig rig;
  rig.settings.Speed = 1;  // a step of one pixel at most
  rig.Run([&](int) { rig.saver.Display_MouseDown(); });
  const auto kFlame =
      MatchesRegex("BitBlt\\(Buffer, 51[123], 38[345], 32, 64, Pic_Vorn, .*, 0xEE0086\\)");
  EXPECT_THAT(
      rig.platform.calls,
      ElementsAre("CreateSaverWindow", "MoveWindow(23130, 0, 0, 1024, 768)",
                  "SizeSurface(Buffer, 1024, 768)", "SizeSurface(Display, 1024, 768)",
                  "MoveSurface(Display, 0, 0)", "StartTimer(1000)", "ShowWindow(23130)",
                  "SetWindowPos(23130, -1, 0, 0, 0, 0, 19)", "FillRect(Buffer, 0, 0, 1024, 768, 0)",
                  kFlame, kFlame, "BitBlt(Display, 0, 0, 1024, 768, Buffer, 0, 0, 0xCC0020)",
                  "DoEvents", "GetVersionExA(148)", "SystemParametersInfoA(97, 0x0, NULL, 0)",
                  "ShowCursor(-1)", "SystemParametersInfoA(17, 0x1, NULL, 0)", "CloseSaverWindow"));
}

// A flame drawn before its step, with its cell after the advance, or frames paced at period 0.
TEST(Saver, DrawsEachFlameAtItsNewPlaceWithItsPreviousCell) {
  SaverRig rig(0);
  rig.settings.Speed = 20;
  Particles before;
  rig.Run([&](int frame) {
    const auto drawn = rig.platform.CallsStartingWith("BitBlt(Buffer");
    for (std::size_t i = 0; frame > 1 && i < 2; ++i) {
      const Particle& now = rig.saver.particles[i];
      EXPECT_EQ(drawn[drawn.size() - 2 + i],
                Call("BitBlt", "Buffer", now.X, now.Y, 32, 64, "Pic_Vorn", before[i].SrcX,
                     before[i].SrcY, testing::Hex{0xEE0086}));
    }
    before = rig.saver.particles;
    if (frame == 5) rig.saver.Display_MouseDown();
  });
  EXPECT_THAT(rig.platform.CallsStartingWith("WaitForEvents"), ::testing::IsEmpty());
}

// Frames not paced to 60 a second, messages held back while waiting, or a race after a stall.
TEST(Saver, PresentsAtMostSixtyFramesASecond) {
  SaverRig rig;
  std::vector<std::int64_t> presented;
  rig.Run([&](int) {
    if (rig.platform.CallsStartingWith("BitBlt(Display").size() == presented.size()) return;
    presented.push_back(rig.platform.nowMicroseconds);
    if (presented.size() == 10) rig.platform.nowMicroseconds += 1'000'000;  // a stall
    if (presented.size() == 70) rig.saver.Display_MouseDown();
  });
  int shortIntervals = 0;  // one frame comes at once after the stall
  for (std::size_t i = 1; i < presented.size(); ++i) {
    shortIntervals += presented[i] - presented[i - 1] < 16'000;
  }
  EXPECT_LE(shortIntervals, 1);
  EXPECT_NEAR(presented[9] - presented[0], 150'000, 1'000);  // 9 periods of 1/60 s
  EXPECT_GT(rig.platform.doEventsCount, 2 * 70 - 10);
}

// A burst on the wrong tick (off by one, or never for Intval of 1 or less), or not to the centre.
TEST(Saver, BurstsEveryIntvalTicks) {
  for (const auto& [intval, bursts] : {std::pair{3, "..B..B"}, {1, "BBB"}, {0, "BB"}, {-5, "BB"}}) {
    SaverRig rig;
    rig.settings.Intval = intval;
    rig.saver.ScreenW = 101;
    rig.saver.ScreenH = 80;
    rig.saver.particles.resize(1);
    std::string seen;
    while (seen.size() < std::string_view(bursts).size()) {
      Particle& p = rig.saver.particles[0];
      p.X = p.Y = 7;
      rig.saver.Timer1_Timer();
      seen += p.X == 50 && p.Y == 40 ? 'B' : p.X == 7 ? '.' : '?';
    }
    EXPECT_EQ(seen, bursts) << "Intval " << intval;
  }
}

// An end on a one-sided move, a reference moved or kept after an end, or a plain run that ends.
TEST(Saver, EndsOnTheSecondMoveThatDiffersInBothCoordinates) {
  const std::pair<float, float> kMoves[] = {{10, 10}, {10, 300}, {500, 10}, {10, 10},
                                            {11, 11}, {30, 30},  {40, 40}};
  for (const auto& [argumentText, ends] : {std::pair{"/s", "....E.E"}, {"", "......."}}) {
    SaverRig rig;
    rig.platform.argumentText = argumentText;
    std::string seen;
    for (const auto& [x, y] : kMoves) {
      const std::size_t before = rig.platform.calls.size();
      rig.saver.Display_MouseMove(x, y);
      seen += rig.platform.calls.size() > before ? 'E' : '.';
    }
    EXPECT_EQ(seen, ends) << '"' << argumentText << '"';
  }
}

}  // namespace
}  // namespace vorn
