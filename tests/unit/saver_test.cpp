#include "saver/saver.h"

#include <gmock/gmock.h>

#include <cstring>

#include "fake_platform.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;
using ::testing::MatchesRegex;

struct SaverRig {
  FakePlatform platform;
  Settings settings{5, 2, 30};
  VornS saver;
  explicit SaverRig(std::int64_t framePeriod = kFramePeriodMicroseconds)
      : saver(platform, settings, -1, framePeriod) {
    platform.argumentText = "/s";
    platform.recordDrawing = true;
  }
  // Runs the saver; `onYield` plays the user in every DoEvents.
  void Run(std::function<void(int)> onYield) {
    platform.onDoEvents = std::move(onYield);
    saver.Load();
  }
  std::size_t Presents() const { return platform.CallsStartingWith("BitBlt(Display").size(); }
};

// A set-up step missing or out of order, a window not fitted to the screen, no
// burst from the centre before the first step, or a frame that does not
// clear, step and OR every flame, present and yield in that order.
TEST(Saver, SetsUpThenDrawsFramesFromTheCentre) {
  SaverRig rig;
  rig.settings.Speed = 1;  // a step of one pixel at most
  rig.Run([&](int) { rig.saver.Display_MouseDown(); });
  const std::string kFlame =
      "BitBlt\\(Buffer, 51[123], 38[345], 32, 64, Pic_Vorn, [0-9]+, [0-9]+, 0xEE0086\\)";
  EXPECT_THAT(
      rig.platform.calls,
      ElementsAre("CreateSaverWindow", "MoveWindow(23130, 0, 0, 1024, 768)",
                  "SizeSurface(Buffer, 1024, 768)", "SizeSurface(Display, 1024, 768)",
                  "MoveSurface(Display, 0, 0)", "StartTimer(1000)", "ShowWindow(23130)",
                  "SetWindowPos(23130, -1, 0, 0, 0, 0, 19)", "FillRect(Buffer, 0, 0, 1024, 768, 0)",
                  MatchesRegex(kFlame), MatchesRegex(kFlame),
                  "BitBlt(Display, 0, 0, 1024, 768, Buffer, 0, 0, 0xCC0020)", "DoEvents",
                  "GetVersionExA(148)", "SystemParametersInfoA(97, 0x0, NULL, 0)", "ShowCursor(-1)",
                  "SystemParametersInfoA(17, 0x1, NULL, 0)", "CloseSaverWindow"));
}

// A flame drawn before its step or with the cell after its advance, copied
// instead of ORed, or a frame that is not presented whole.
TEST(Saver, ShowsEveryFlameOredAtItsNewPlaceWithItsPreviousCell) {
  SaverRig rig(0);  // one yield a frame
  rig.settings = {20, 60, 30};
  rig.platform.screen = {120, 100};  // flames overlap and cross the edges
  Surface sheet(256, 256);
  for (std::int32_t y = 0; y < 256; ++y)
    for (std::int32_t x = 0; x < 256; ++x)
      sheet.Set(x, y, Pixel((x * 7 + y * 13) & 0xFF) << (x + y) % 3 * 8);
  rig.platform.surfaces[SurfaceId::SaverSprites] = sheet;
  Particles before;  // after the previous frame's advance: the cells drawn now
  rig.Run([&](int frame) {
    Surface expected(120, 100);
    for (std::size_t i = 0; i < before.size(); ++i) {
      const Particle& p = rig.saver.particles[i];
      for (std::int32_t y = 0; y < 64 && p.Y + y < 100; ++y)
        for (std::int32_t x = 0; x < 32 && p.X + x < 120; ++x)
          expected.Set(
              p.X + x, p.Y + y,
              expected.At(p.X + x, p.Y + y) | sheet.At(before[i].SrcX + x, before[i].SrcY + y));
    }
    const Surface& shown = rig.platform.surfaces[SurfaceId::SaverDisplay];
    EXPECT_TRUE(frame == 1 || shown.Pixels() == expected.Pixels()) << "frame " << frame;
    before = rig.saver.particles;
    if (frame == 20) rig.saver.Display_MouseDown();
  });
  EXPECT_EQ(rig.Presents(), 20u);
  EXPECT_EQ(rig.platform.CallsStartingWith("WaitForEvents").size(), 0u);
}

// Another frame, or more waiting, after the yield in which the saver was ended.
TEST(Saver, ClosesRightAfterTheYieldThatEndsIt) {
  SaverRig rig;
  std::size_t ended = 0;
  rig.Run([&](int call) {
    if (call != 2) return;
    ended = rig.platform.calls.size();
    rig.saver.Display_MouseDown();
  });
  EXPECT_EQ(rig.Presents(), 1u);
  EXPECT_EQ(rig.platform.calls.size(), ended + 5) << "EndSaver's four calls, then CloseSaverWindow";
  EXPECT_EQ(rig.platform.calls.back(), "CloseSaverWindow");
}

// Frames not paced to 60 a second, messages held back during the wait, or
// frames raced through to catch up after a stall.
TEST(Saver, PresentsAtMostSixtyFramesASecond) {
  SaverRig rig;
  std::vector<std::int64_t> presentTimes;
  rig.Run([&](int) {
    if (rig.Presents() == presentTimes.size()) return;
    presentTimes.push_back(rig.platform.nowMicroseconds);
    if (presentTimes.size() == 10) rig.platform.nowMicroseconds += 1'000'000;  // a stall
    if (presentTimes.size() == 70) rig.saver.Display_MouseDown();
  });
  int shortIntervals = 0;  // one frame comes at once after the stall
  for (std::size_t i = 1; i < presentTimes.size(); ++i) {
    shortIntervals += presentTimes[i] - presentTimes[i - 1] < 16'000;
  }
  EXPECT_LE(shortIntervals, 1);
  EXPECT_GE(presentTimes[9] - presentTimes[0], 9 * 16'600);
  EXPECT_LE(presentTimes[9] - presentTimes[0], 9 * 16'800);
  EXPECT_GT(rig.platform.doEventsCount, 2 * 70 - 10);
}

// No table for a count below 1 or beyond the limit, or a count that breaks
// the frame cycle.
TEST(Saver, RunsAndEndsWithoutFlames) {
  for (const std::int32_t num : {0, -1, 2147483647}) {
    SaverRig rig;
    rig.settings.Num = num;
    rig.Run([&](int) { rig.saver.Display_MouseDown(); });
    EXPECT_TRUE(rig.saver.particles.empty());
    EXPECT_TRUE(rig.platform.saverClosed);
  }
}

// A burst on the wrong tick (off by one, never for Intval 1 or less), a tick
// count that does not restart, or a burst that is not to the centre.
TEST(Saver, BurstsEveryIntvalTicks) {
  for (const auto& [intval, bursts] : {std::pair{3, "..B..B"}, {1, "BBB"}, {0, "BB"}, {-5, "BB"}}) {
    SaverRig rig;
    rig.settings.Intval = intval;
    rig.saver.ScreenW = 101;
    rig.saver.ScreenH = 80;
    rig.saver.particles.resize(1);
    std::string seen;
    for (std::size_t tick = 0; tick < std::strlen(bursts); ++tick) {
      rig.saver.particles[0].X = rig.saver.particles[0].Y = 7;
      rig.saver.Timer1_Timer();
      const Particle& p = rig.saver.particles[0];
      seen += p.X == 50 && p.Y == 40 ? 'B' : p.X == 7 ? '.' : '?';
    }
    EXPECT_EQ(seen, bursts) << "Intval " << intval;
  }
}

// Moves that end the saver though only one coordinate changed, a reference
// moved by such moves or kept after an end, a first move that ends, or a
// plain run that listens to the mouse.
TEST(Saver, EndsOnTheSecondMoveThatDiffersInBothCoordinates) {
  const std::pair<float, float> kMoves[] = {{10, 10}, {10, 300}, {500, 10}, {10, 10},
                                            {11, 11}, {30, 30},  {40, 40}};
  for (const auto& [argumentText, ends] : {std::pair{"/s", "....E.E"}, {"", "......."}}) {
    SaverRig rig;
    rig.platform.argumentText = argumentText;
    std::string seen;
    for (const auto& [x, y] : kMoves) {
      const std::size_t before = rig.platform.CallsStartingWith("SystemParametersInfoA(17").size();
      rig.saver.Display_MouseMove(x, y);
      seen +=
          rig.platform.CallsStartingWith("SystemParametersInfoA(17").size() > before ? 'E' : '.';
    }
    EXPECT_EQ(seen, ends) << '"' << argumentText << '"';
  }
}

}  // namespace
}  // namespace vorn
