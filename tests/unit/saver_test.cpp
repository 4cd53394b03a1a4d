#include "saver/saver.h"

#include <gmock/gmock.h>

#include <algorithm>

#include "core/flame.h"
#include "fake_platform.h"
#include "table_test.h"

namespace vorn {
namespace {

using testing::Call;
using ::testing::ElementsAre;
using testing::FakePlatform;
using ::testing::MatchesRegex;
using testing::SaverRig;
using Log = std::vector<std::string>;

// A set-up step missing or reordered, no burst to the centre, or a frame not drawn in order.
TEST(Saver, SetsUpThenDrawsFramesFromTheCentre) {
  SaverRig rig;
  rig.settings.Speed = 1;  // a step of one pixel at most
  rig.Run([&](int) { rig.saver.Display_MouseDown(); });
  const auto kFlame =
      MatchesRegex("BitBlt\\(Buffer, 51[123], 38[345], 32, 64, Pic_Vorn, .*, 0xEE0086\\)");
  EXPECT_THAT(rig.platform.calls,
              ElementsAre("CreateSaverWindow", "MoveWindow(23130, 0, 0, 1024, 768)",
                          "CreateFrameBuffer(1024, 768)", "LoadSheet(96)", "StartTimer(1000)",
                          "ShowWindow(23130)", "SetWindowPos(23130, -1, 0, 0, 0, 0, 19)",
                          "FillRect(Buffer, 0, 0, 1024, 768, 0)", kFlame, kFlame,
                          "BitBlt(Display, 0, 0, 1024, 768, Buffer, 0, 0, 0xCC0020)",
                          "PresentFrame(1)", "WaitForEvents(17)", "DoEvents", "GetVersionExA(148)",
                          "SystemParametersInfoA(97, 0x0, NULL, 0)", "ShowCursor(-1)",
                          "SystemParametersInfoA(17, 0x1, NULL, 0)", "CloseSaverWindow"));
}

// A flame drawn before its step, with its cell after the advance, or frames paced at period 0.
TEST(Saver, DrawsEachFlameAtItsNewPlaceWithItsPreviousCell) {
  SaverRig rig(0);
  rig.settings.Speed = 20;
  Particles before;
  rig.Run([&](int frame) {
    const auto drawn = rig.platform.CallsStartingWith("BitBlt(Buffer");
    for (std::size_t i = 0; frame > 1 && i < 2; ++i) {
      const Particle& now = rig.saver.swarms[0].particles[i];
      EXPECT_EQ(drawn[drawn.size() - 2 + i],
                Call("BitBlt", "Buffer", now.X, now.Y, 32, 64, "Pic_Vorn", before[i].SrcX,
                     before[i].SrcY, testing::Hex{0xEE0086}));
    }
    before = rig.saver.swarms[0].particles;
    if (frame == 5) rig.saver.Display_MouseDown();
  });
  EXPECT_THAT(rig.platform.CallsStartingWith("WaitForEvents"), ::testing::IsEmpty());
}

// A burst on the wrong tick (off by one, or never for Intval of 1 or less), or not to the centre.
TEST(Saver, BurstsEveryIntvalTicks) {
  for (const auto& [intval, bursts] : {std::pair{3, "..B..B"}, {1, "BBB"}, {0, "BB"}, {-5, "BB"}}) {
    SaverRig rig;
    rig.settings.Intval = intval;
    rig.saver.swarms = {Swarm{{}, 101, 80, Particles(1)}};
    std::string seen;
    while (seen.size() < std::string_view(bursts).size()) {
      Particle& p = rig.saver.swarms[0].particles[0];
      p.X = p.Y = 7;
      rig.saver.Timer1_Timer();
      seen += p.X == 50 && p.Y == 40 ? 'B' : p.X == 7 ? '.' : '?';
    }
    EXPECT_EQ(seen, bursts) << "Intval " << intval;
  }
}

// An end on a one-sided move, a reference moved or kept after an end, or a plain run that ends; a
// reference kept in the old window's coordinates after a re-fit (the system's own mouse move after
// the window moved would end the saver).
TEST(Saver, EndsOnTheSecondMoveThatDiffersInBothCoordinates) {
  const std::pair<float, float> kMoves[] = {{810, 20}, {810, 300}, {500, 20}, {810, 20},
                                            {811, 21}, {30, 30},   {40, 40}};
  for (const auto& [argumentText, ends] : {std::pair{"/s", "....E.E"}, {"", "......."}}) {
    SaverRig rig(0);
    rig.platform.argumentText = argumentText;
    std::string seen;
    rig.Run([&](int n) {
      if (n == 1) {  // a reference, then the window moves
        rig.saver.Display_MouseMove(10, 10);
        rig.platform.layout = {{-800, 0, 1024, 768}, {{{0, 0, 1024, 768}}, {{-800, 0, 0, 600}}}};
        rig.saver.Form_DisplayChange();
      }
      if (rig.platform.CallsStartingWith("MoveWindow").size() < 2 || !seen.empty()) return;
      for (const auto& [x, y] : kMoves) {
        const std::size_t before = rig.platform.calls.size();
        rig.saver.Display_MouseMove(x, y);
        seen += rig.platform.calls.size() > before ? 'E' : '.';
      }
      rig.saver.Form_KeyDown();
    });
    EXPECT_EQ(seen, ends) << '"' << argumentText << '"';
  }
}

bool Inside(const PixelRect& r, const PixelRect& a) {
  return r.left >= a.left && r.top >= a.top && r.right <= a.right && r.bottom <= a.bottom;
}

// A monitor left bare or sharing a swarm, a burst to the wrong centre or on one monitor only,
// flames wrapping at the window's edges or spilling onto a neighbour, a swarm in physical pixels
// at 150 % or drawn from another scale's sheet (or one rendered again on every fit), a layout
// change ignored (announced or not), or a frame of many monitors that looks at input only at its
// end.
TEST(Saver, GivesEachMonitorItsOwnSwarmThroughLayoutChanges) {
  const std::vector<DisplayLayout> kLayouts = {
      {{-300, 0, 400, 200}, {{{0, 0, 400, 200}}, {{-300, 40, 0, 190}, 144}}},  // left, lower
      {{0, 0, 1024, 768}, {{{0, 0, 1024, 768}}}},
      {{0, -50, 600, 250}, {{{0, 0, 200, 150}}, {{200, -50, 400, 250}, 144}, {{400, 0, 600, 100}}}},
  };
  SaverRig rig(0);
  rig.settings = {20, 40, 1};
  std::size_t phase = 0, stopped = 0;
  rig.platform.layout = kLayouts[0];
  rig.Run([&](int n) {
    const auto& calls = rig.platform.calls;
    if (phase == kLayouts.size()) {  // a key between two swarms: the frame goes no further
      if (!calls[calls.size() - 2].starts_with("BitBlt(Buffer")) return;
      rig.saver.Form_KeyDown();
      stopped = calls.size();
      return;
    }
    const PixelRect& screen = kLayouts[phase].virtualScreen;
    const std::vector<Swarm>& swarms = rig.saver.swarms;
    if (n % 40 == 39) rig.saver.Timer1_Timer();     // bursts every swarm from its own centre
    for (const auto& [dpi, c] : rig.frame.cells) {  // the frame clips at its edges
      const PixelRect flame{c.x, c.y, std::min(c.x + c.w, rig.saver.WindowW),
                            std::min(c.y + c.h, rig.saver.WindowH)};
      EXPECT_TRUE(std::ranges::any_of(
          swarms, [&](const Swarm& s) { return Inside(flame, s.area) && dpi == s.dpi; }))
          << Call("Flame", flame, dpi) << " layout " << phase;
    }
    ASSERT_EQ(swarms.size(), kLayouts[phase].monitors.size());
    for (std::size_t i = 0; i < swarms.size(); ++i) {
      const Monitor& m = kLayouts[phase].monitors[i];
      EXPECT_EQ(swarms[i].area, (PixelRect{m.left - screen.left, m.top - screen.top,
                                           m.right - screen.left, m.bottom - screen.top}));
      const PixelRect own{0, 0, ToLogical(m.right - m.left, m.dpi),
                          ToLogical(m.bottom - m.top, m.dpi)};  // 150 %: 200 x 100, 133 x 200
      EXPECT_EQ(std::pair(swarms[i].ScreenW, swarms[i].ScreenH), std::pair(own.right, own.bottom));
      const std::int32_t cx = HalfExtent(own.right), cy = HalfExtent(own.bottom);
      for (const Particle& p : swarms[i].particles)
        EXPECT_TRUE(Inside({p.X, p.Y, p.X, p.Y}, n % 40 == 39 ? PixelRect{cx, cy, cx, cy} : own));
    }
    if (n % 120 != 0) return;
    EXPECT_THAT(
        rig.platform.calls,
        ::testing::Contains(Call("MoveWindow", FakePlatform::kSaverWindow, screen.left, screen.top,
                                 screen.right - screen.left, screen.bottom - screen.top)));
    if (++phase == kLayouts.size()) return;
    rig.platform.layout = kLayouts[phase];
    phase == 1 ? rig.saver.Form_DisplayChange() : rig.saver.Timer1_Timer();  // or the tick finds it
  });
  EXPECT_THAT(Log(rig.platform.calls.begin() + stopped, rig.platform.calls.end()),
              ::testing::Each(::testing::Not(::testing::StartsWith("BitBlt"))));
  EXPECT_THAT(rig.platform.CallsStartingWith("LoadSheet(144)"),
              ::testing::Not(::testing::IsEmpty()));
}

// The frame as its drawing steps make it with the core raster: black, then each cell ORed whole.
Surface FrameOfTheSteps(const SaverRig& rig) {
  Surface frame(rig.platform.frameBuffer.Width(), rig.platform.frameBuffer.Height());
  static std::map<int, Surface> sheets;
  for (const auto& [dpi, c] : rig.frame.cells) {
    if (!sheets.contains(dpi)) sheets[dpi] = RenderSpriteSheet(dpi);
    Blit(frame, c.x, c.y, c.w, c.h, sheets[dpi], c.sx, c.sy, kRopSrcPaint);
  }
  return frame;
}

// A frame not drawn as its steps say (a clear or an OR that misses or spills), or a stale patch
// left on the screen: a failed present not followed by a whole one, a screen that lost its picture
// (painting, the display back on, the password dialog), a new size, monitors at mixed scales.
// While the display is off: a frame drawn, a finite wait, ticks held back, or a late resume. A wait
// that does not end in a look at the messages.
TEST(Saver, TheScreenShowsTheFrameAfterEveryPresentAndNothingWhileTheDisplayIsOff) {
  SaverRig rig;
  rig.settings = {20, 30, 1};
  FakePlatform& platform = rig.platform;
  platform.platformId = 1;  // 95/98: a key asks for the password, refused once
  platform.passwordAnswers = {0, 1};
  platform.layout = {{-300, 0, 400, 200}, {{{0, 0, 400, 200}}, {{-300, 40, 0, 190}, 144}}};
  const auto lose = [&] { platform.shown.FillInclusive(0, 0, 9999, 9999, FakePlatform::kStale); };
  const auto& calls = platform.calls;
  std::size_t presents = 0, resumed = 0;
  int offAt = 0;
  rig.Run([&](int n) {
    const bool off = offAt > 0 && n <= offAt + 3;
    if (off && n > offAt) {
      EXPECT_EQ(calls[calls.size() - 2], "WaitForEvents(4294967295)") << n;
    }
    if (off && n == offAt + 2) {
      rig.saver.Timer1_Timer();  // still bursts
      EXPECT_EQ(rig.saver.swarms[0].particles[0].X, 200);
    }
    if (off && n == offAt + 3) lose(), rig.saver.Form_DisplayPower(true), resumed = calls.size();
    if (platform.CallsStartingWith("PresentFrame").size() == presents) return;
    ++presents;
    EXPECT_FALSE(off && n > offAt) << "a frame drawn while the display is off";
    EXPECT_TRUE(platform.frameBuffer.Pixels() == FrameOfTheSteps(rig).Pixels()) << presents;
    const bool failed = platform.CallsStartingWith("PresentFrame").back().ends_with(" -> 0");
    EXPECT_EQ(failed, presents == 4);
    EXPECT_TRUE(failed || platform.shown.Pixels() == platform.frameBuffer.Pixels()) << presents;
    if (presents == 3) platform.presentsFailing = 1;
    if (presents == 6) lose(), rig.saver.Form_Paint();
    if (presents == 9) rig.saver.Form_DisplayPower(false), offAt = n;
    if (presents == 10) {  // drawn at once after the display came back, without a wait
      EXPECT_EQ(std::count(calls.begin() + resumed, calls.end(), "WaitForEvents(17)"), 0);
    }
    if (presents == 12)
      platform.layout = {{0, 0, 640, 480}, {{{0, 0, 640, 480}}}}, rig.saver.Form_DisplayChange();
    if (presents == 15) lose(), rig.saver.Form_KeyDown();  // the password dialog over the saver
    if (presents == 18) rig.saver.Form_KeyDown();
  });
  EXPECT_EQ(presents, 18u);
  for (std::size_t i = 1; i < calls.size(); ++i)  // a wait ends in a look at the messages
    EXPECT_TRUE(!calls[i - 1].starts_with("WaitForEvents") || calls[i] == "DoEvents") << i;
}

// A look at the messages after a wait that ran out of time with none (a needless round trip to the
// system every frame), or none in a frame that had no time left to wait.
TEST(Saver, LooksAtTheMessagesWhenAWaitSawOneOrThereWasNoTimeToWait) {
  SaverRig rig;
  const auto& calls = rig.platform.calls;
  std::size_t quietFrom = 0;
  rig.Run([&](int n) {
    const auto since = [&](std::string_view call) {
      return std::count_if(calls.begin() + std::ptrdiff_t(quietFrom), calls.end(),
                           [&](const std::string& c) { return c.starts_with(call); });
    };
    if (n == 3) rig.platform.quietWaits = 4, quietFrom = calls.size();
    if (n == 4) {  // four frames waited quietly, the fifth's wait saw a message
      EXPECT_EQ(std::tuple(since("PresentFrame"), since("WaitForEvents"), since("DoEvents")),
                std::tuple(5, 5, 1));
      rig.platform.nowMicroseconds += 1'000'000;  // a stall: the next frame has no time to wait
    }
    if (n == 5) {
      EXPECT_TRUE(calls[calls.size() - 2].starts_with("PresentFrame"));
      rig.saver.Form_KeyDown();
    }
  });
  EXPECT_TRUE(rig.platform.saverClosed);
}

// Ink runs cut wrong at the frame's edges (flames that spill, wrap or go missing) or a clear that
// leaves some of them: cells ORed at and beyond every edge give what the raster's OR of the whole
// rectangle gives, and one clear makes all black again, by the time each is presented.
TEST(SaverFrame, OrsAndClearsTheInkCutAtEveryEdge) {
  FakePlatform platform;
  SaverFrame frame(platform);
  frame.Resize(100, 80);
  frame.LoadSheet(kBaseDpi);
  frame.Clear();
  const Surface sheet = RenderSpriteSheet(kBaseDpi);
  Surface expected(100, 80);
  for (const std::int32_t x : {-40, -20, -1, 0, 50, 80, 99, 100})
    for (const std::int32_t y : {-70, -30, 0, 40, 79, 80})
      for (const auto& [w, h] : {std::pair{32, 64}, {10, 64}, {32, 5}}) {
        frame.OrCell(kBaseDpi, {x, y, w, h, 64 + x % 3 * 32, 128});
        Blit(expected, x, y, w, h, sheet, 64 + x % 3 * 32, 128, kRopSrcPaint);
      }
  frame.Present();
  EXPECT_TRUE(platform.frameBuffer.Pixels() == expected.Pixels());
  frame.Clear();
  frame.Present();
  EXPECT_TRUE(platform.frameBuffer.Pixels() == Surface(100, 80).Pixels());
}

// A flame placed off its logical place times the scale, with the wrong cell or cell size, a centre
// that moves with the scale, or a flame at the far right or bottom edge that shows or is not cut.
struct PlaceCase {
  const char* name;
  std::int32_t dpi, ScreenW, ScreenH, X, Y;
  std::array<std::int32_t, 6> cell;  // x, y, width, height, source x, source y
};
class Place : public ::testing::TestWithParam<PlaceCase> {};
TEST_P(Place, DrawsAtTheLogicalPlaceTimesTheScale) {
  const PlaceCase& c = GetParam();  // a 1001 x 601 monitor right of a 300-pixel one
  BlitArea a;
  PlaceCell({{300, 0, 1301, 601}, c.ScreenW, c.ScreenH, {}, c.dpi}, {0, c.X, c.Y, 64, 128}, 1301,
            601, a);
  EXPECT_EQ((std::array{a.x, a.y, a.w, a.h, a.sx, a.sy}), c.cell);
}
VORN_TABLE(Place, {"Centre_100", 96, 1001, 601, 500, 300, {800, 300, 32, 64, 64, 128}},
           {"Centre_125", 120, 801, 481, 400, 240, {800, 300, 40, 80, 80, 160}},
           {"Centre_150", 144, 667, 401, 334, 200, {801, 300, 48, 96, 96, 192}},
           {"Centre_200", 192, 500, 300, 250, 150, {800, 300, 64, 128, 128, 256}},
           {"Cut_150", 144, 667, 401, 660, 395, {1290, 592, 11, 9, 96, 192}},
           {"Beyond_right_150", 144, 667, 401, 667, 0, {1301, 0, 0, 96, 96, 192}},
           {"Beyond_bottom_125", 120, 801, 481, 0, 481, {300, 601, 40, 0, 80, 160}},
           {"Beyond_bottom_200", 192, 500, 300, 0, 300, {300, 601, 64, 0, 128, 256}});

// A sheet with cells out of order or of the wrong size, or haze on the black around the flames
// that the OR-blending and the ink bounds rely on, at 100 % and at 150 %.
TEST(SpriteSheet, HoldsTheFramesInReadingOrderInCellsOfItsScaleOnBlack) {
  for (const auto& [dpi, w, h] : {std::tuple{96, 32, 64}, {144, 48, 96}}) {
    const Surface sheet = RenderSpriteSheet(dpi);
    ASSERT_EQ(std::pair(sheet.Width(), sheet.Height()), std::pair(8 * w, 4 * h));
    for (std::int32_t frame = 0; frame < 32; ++frame) {
      Surface cell(w, h);
      Blit(cell, 0, 0, w, h, sheet, frame % 8 * w, frame / 8 * h, kRopSrcCopy);
      EXPECT_EQ(cell.Pixels(), RenderFlameCell(frame, dpi).Pixels()) << dpi << ", " << frame;
      const Rect ink = FindCellInk(cell.View(), {0, 0, w, h}).bounds;  // black 2 deep, h / 8 above
      EXPECT_TRUE(ink.x >= 2 && ink.x + ink.width <= w - 2 && ink.y >= h / 8 &&
                  ink.y + ink.height <= h - 2)
          << dpi << ", " << frame;
    }
  }
}

}  // namespace
}  // namespace vorn
