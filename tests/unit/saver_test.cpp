#include "saver/saver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakePlatform;

struct SaverRig {
  FakePlatform platform;
  Settings shared;
  VornS saver{platform, shared};

  SaverRig(const std::string& args, std::int32_t num = 200) {
    platform.argumentText = args;
    shared.Speed = 5;
    shared.Num = num;
    shared.Intval = 30;
  }
  // Runs the saver, calling `onYield` with the number of each DoEvents call.
  void Run(std::function<void(int)> onYield) {
    platform.onDoEvents = std::move(onYield);
    saver.Load();
  }
  std::vector<std::string> CallsSince(std::size_t index) const {
    return {platform.calls.begin() + static_cast<std::ptrdiff_t>(index), platform.calls.end()};
  }
};

TEST(SaverLoad, SetsUpInOrderThenDrawsTheFirstFrame) {
  SaverRig rig("/s", 2);
  rig.platform.recordDrawing = true;
  rig.Run([&](int) { rig.saver.Form_KeyDown(); });
  const std::vector<std::string> head(rig.platform.calls.begin(), rig.platform.calls.begin() + 10);
  EXPECT_THAT(head, ElementsAre("CreateSaverWindow", "MoveWindow(23130, 0, 0, 1024, 768)",
                                "SizeSurface(Buffer, 1024, 768)", "SizeSurface(Display, 1024, 768)",
                                "MoveSurface(Display, 0, 0)", "StartTimer(1000)",
                                "ShowWindow(23130)", "SetWindowPos(23130, -1, 0, 0, 0, 0, 19)",
                                "FillRect(Buffer, 0, 0, 1024, 768, 0)",
                                ::testing::StartsWith("BitBlt(Buffer, ")));
  EXPECT_EQ(rig.saver.ScreenW, 1024);
  EXPECT_EQ(rig.saver.ScreenH, 768);
}

TEST(SaverLoad, BurstsFromTheCentreBeforeTheFirstStep) {
  SaverRig rig("/s", 50);
  rig.shared.Speed = 1;  // one pixel per step at most
  rig.Run([&](int) { rig.saver.Form_KeyDown(); });
  ASSERT_EQ(rig.saver.particles.size(), 50u);
  for (const Particle& p : rig.saver.particles) {
    EXPECT_LE(std::abs(p.X - 512), 1);
    EXPECT_LE(std::abs(p.Y - 384), 1);
  }
}

TEST(FrameCycle, EachFrameClearsStepsDrawsPresentsThenYields) {
  SaverRig rig("/s", 2);
  rig.platform.recordDrawing = true;
  std::vector<std::string> secondFrame;
  std::size_t mark = 0;
  rig.Run([&](int) {
    if (rig.platform.presents == 1 && mark == 0) mark = rig.platform.calls.size();
    if (rig.platform.presents == 2) {
      secondFrame = rig.CallsSince(mark);
      rig.saver.Form_KeyDown();
    }
  });
  // Drop the pacing waits that belong to the first frame's yield.
  // Skip what is left of the first frame's yield (its waits and dispatches).
  const auto frameStart = std::find_if(secondFrame.begin(), secondFrame.end(),
                                       [](const std::string& c) { return c.starts_with("FillRect"); });
  secondFrame.erase(secondFrame.begin(), frameStart);
  ASSERT_EQ(secondFrame.size(), 5u);
  EXPECT_EQ(secondFrame[0], "FillRect(Buffer, 0, 0, 1024, 768, 0)");
  EXPECT_THAT(secondFrame[1], ::testing::MatchesRegex(
                                  "BitBlt\\(Buffer, [0-9]+, [0-9]+, 32, 64, Pic_Vorn, [0-9]+, [0-9]+, 0xEE0086\\)"));
  EXPECT_THAT(secondFrame[2], ::testing::StartsWith("BitBlt(Buffer, "));
  EXPECT_EQ(secondFrame[3], "BitBlt(Display, 0, 0, 1024, 768, Buffer, 0, 0, 0xCC0020)");
  EXPECT_EQ(secondFrame[4], "DoEvents");
}

// The frame a person should see: every particle's cell ORed in at its position,
// cut off at the right and bottom edges. Composed pixel by pixel here.
Surface ExpectedFrame(const Particles& drawn, const Surface& sheet, std::int32_t w, std::int32_t h) {
  Surface frame(w, h);
  for (const Particle& p : drawn) {
    for (std::int32_t y = 0; y < kCellHeight; ++y) {
      for (std::int32_t x = 0; x < kCellWidth; ++x) {
        if (p.X + x >= w || p.Y + y >= h) continue;
        frame.Set(p.X + x, p.Y + y, frame.At(p.X + x, p.Y + y) | sheet.At(p.SrcX + x, p.SrcY + y));
      }
    }
  }
  return frame;
}

TEST(FrameCycle, TheFrameIsTheOrOfEveryCellClippedAtTheEdges) {
  SaverRig rig("/s", 60);
  rig.platform.screen = {120, 100};  // small, so cells overlap and cross the edges
  rig.shared.Speed = 20;
  Surface sheet(256, 256);
  for (std::int32_t y = 0; y < 256; ++y)
    for (std::int32_t x = 0; x < 256; ++x)
      sheet.Set(x, y, static_cast<Pixel>(((x * 7 + y * 13) & 0xFF) << ((x + y) % 3 * 8)));
  rig.platform.surfaces[SurfaceId::SaverSprites] = sheet;

  int framesChecked = 0, clippedCells = 0;
  rig.Run([&](int n) {
    Particles drawn = rig.saver.particles;  // drawn with the cell before the advance
    for (Particle& p : drawn) {
      for (int i = 0; i < 31; ++i) NextCell(p.SrcX, p.SrcY);
      if (p.X + kCellWidth > 120 || p.Y + kCellHeight > 100) ++clippedCells;
    }
    const Surface& shown = rig.platform.surfaces[SurfaceId::SaverDisplay];
    EXPECT_EQ(shown.Pixels(), ExpectedFrame(drawn, sheet, 120, 100).Pixels()) << "frame " << n;
    ++framesChecked;
    if (n == 20) rig.saver.Form_KeyDown();
  });
  EXPECT_GE(framesChecked, 20);
  EXPECT_GT(clippedCells, 0);
}

TEST(FrameCycle, ACellAtTheRightOrBottomEdgeIsNotDrawn) {
  SaverRig rig("/s", 1);
  rig.platform.screen = {64, 80};
  rig.platform.surfaces[SurfaceId::SaverSprites] = Surface(256, 256, 0xFFFFFF);
  rig.Run([&](int) {
    const Particle& p = rig.saver.particles[0];
    const Surface& shown = rig.platform.surfaces[SurfaceId::SaverDisplay];
    int lit = 0;
    for (Pixel px : shown.Pixels()) lit += px != 0;
    const int visibleW = std::max(0, std::min(32, 64 - p.X));
    const int visibleH = std::max(0, std::min(64, 80 - p.Y));
    EXPECT_EQ(lit, visibleW * visibleH) << "at " << p.X << "," << p.Y;
    if (rig.platform.doEventsCount == 200) rig.saver.Form_KeyDown();
  });
}

TEST(FrameCycle, WithNoParticlesEveryFrameIsBlackAndInputStillEnds) {
  // A count beyond the practical limit gives no table either, however much
  // memory the system would grant.
  for (std::int32_t num : {0, -1, 1'000'000'000, 2147483647}) {
    SaverRig rig("/s", num);
    rig.platform.surfaces[SurfaceId::SaverSprites] = Surface(256, 256, 0xFFFFFF);
    rig.Run([&](int n) {
      for (Pixel p : rig.platform.surfaces[SurfaceId::SaverDisplay].Pixels()) ASSERT_EQ(p, 0u);
      if (n == 5) rig.saver.Display_MouseDown();
    });
    EXPECT_TRUE(rig.platform.saverClosed);
    EXPECT_LT(rig.platform.doEventsCount, 10);
  }
}

TEST(FrameCycle, StopsRightAfterTheYieldThatAskedForIt) {
  SaverRig rig("/s", 3);
  rig.platform.recordDrawing = true;
  rig.Run([&](int) {
    if (rig.platform.presents == 3) rig.saver.Display_MouseDown();
  });
  EXPECT_EQ(rig.platform.calls.back(), "CloseSaverWindow");
  EXPECT_EQ(rig.platform.CallsStartingWith("BitBlt(Display").size(), 3u);
}

TEST(FramePacing, PresentsAtMostSixtyFramesASecondAndKeepsDispatching) {
  SaverRig rig("/s", 10);
  std::vector<std::int64_t> presentTimes;
  rig.platform.recordDrawing = true;
  rig.Run([&](int) {
    const auto presents = rig.platform.CallsStartingWith("BitBlt(Display").size();
    if (presents > presentTimes.size()) presentTimes.push_back(rig.platform.nowMicroseconds);
    if (presentTimes.size() == 61) rig.saver.Form_KeyDown();
  });
  ASSERT_EQ(presentTimes.size(), 61u);
  // 60 frame periods of 1/60 s, with waits rounded up to whole milliseconds.
  EXPECT_GE(presentTimes.back() - presentTimes.front(), 999'000);
  EXPECT_LE(presentTimes.back() - presentTimes.front(), 1'001'000);
  for (std::size_t i = 1; i < presentTimes.size(); ++i) {
    EXPECT_GE(presentTimes[i] - presentTimes[i - 1], 16'000);
  }
  // Messages are dispatched after every wait, not held back until the frame.
  EXPECT_GT(rig.platform.doEventsCount, 61);
}

TEST(FramePacing, AStopDuringTheWaitEndsWithoutAnotherFrame) {
  SaverRig rig("/s", 10);
  rig.platform.recordDrawing = true;
  rig.Run([&](int n) {
    if (n == 2) rig.saver.Display_MouseDown();  // the first wake-up inside the wait
  });
  EXPECT_EQ(rig.platform.CallsStartingWith("BitBlt(Display").size(), 1u);
  EXPECT_EQ(rig.platform.calls.back(), "CloseSaverWindow");
}

TEST(FramePacing, APeriodOfZeroDrawsFrameAfterFrameAndStillDispatches) {
  FakePlatform platform;
  platform.argumentText = "/s";
  Settings shared;
  shared.Speed = 5;
  shared.Num = 10;
  shared.Intval = 30;
  VornS saver(platform, shared, 0, 0);
  platform.recordDrawing = true;
  platform.onDoEvents = [&](int n) {
    if (n == 5) saver.Form_KeyDown();
  };
  saver.Load();
  EXPECT_THAT(platform.CallsStartingWith("WaitForEvents"), IsEmpty());
  EXPECT_EQ(platform.CallsStartingWith("BitBlt(Display").size(), 5u);
  EXPECT_EQ(platform.doEventsCount, 5);
  EXPECT_EQ(platform.calls.back(), "CloseSaverWindow");
}

TEST(Timer, BurstsEveryIntvalHandledTicks) {
  SaverRig rig("/s", 5);
  rig.shared.Intval = 3;
  rig.Run([&](int) {
    for (Particle& p : rig.saver.particles) p.X = p.Y = 7;
    rig.saver.Timer1_Timer();
    rig.saver.Timer1_Timer();
    EXPECT_EQ(rig.saver.Ticks, 2);
    EXPECT_EQ(rig.saver.particles[0].X, 7);
    rig.saver.Timer1_Timer();
    EXPECT_EQ(rig.saver.Ticks, 0);
    for (const Particle& p : rig.saver.particles) {
      EXPECT_EQ(p.X, 512);
      EXPECT_EQ(p.Y, 384);
    }
    rig.saver.Form_KeyDown();
  });
}

TEST(Timer, AnIntervalOfOneOrLessBurstsOnEveryTick) {
  for (std::int32_t intval : {1, 0, -5, -2147483647 - 1}) {
    SaverRig rig("/s", 2);
    rig.shared.Intval = intval;
    rig.Run([&](int) {
      rig.saver.particles[1].X = 3;
      rig.saver.Timer1_Timer();
      EXPECT_EQ(rig.saver.particles[1].X, 512) << intval;
      EXPECT_EQ(rig.saver.Ticks, 0);
      rig.saver.Form_KeyDown();
    });
  }
}

// EndSaver's calls, after a saver started with `args` has hidden the cursor.
std::vector<std::string> EndSaverCalls(SaverRig& rig, std::size_t& mark) {
  rig.saver.CursorCount = rig.platform.ShowCursor(0);  // what Main did
  rig.Run([&](int n) {
    if (n == 1) {
      mark = rig.platform.calls.size();
      rig.saver.Display_MouseDown();
    }
    if (n > 3) rig.saver.Form_KeyDown();  // ends a saver that stayed up
  });
  return {rig.platform.calls.begin() + static_cast<std::ptrdiff_t>(mark),
          rig.platform.calls.begin() + static_cast<std::ptrdiff_t>(mark) +
              static_cast<std::ptrdiff_t>(std::min<std::size_t>(6, rig.platform.calls.size() - mark))};
}

TEST(EndSaver, OnNtRestoresFlagAndCursorThenMarksActive) {
  SaverRig rig("/s");
  std::size_t mark = 0;
  EXPECT_THAT(EndSaverCalls(rig, mark),
              ElementsAre("GetVersionExA(148)", "SystemParametersInfoA(97, 0x0, NULL, 0)",
                          "ShowCursor(-1)", "SystemParametersInfoA(17, 0x1, NULL, 0)",
                          "CloseSaverWindow"));
  EXPECT_EQ(rig.saver.CursorCount, 0);
}

TEST(EndSaver, On9xAsksForThePasswordWithTheCursorShown) {
  SaverRig rig("/s");
  rig.platform.platformId = 1;
  std::size_t mark = 0;
  EXPECT_THAT(EndSaverCalls(rig, mark),
              ElementsAre("GetVersionExA(148)", "ShowCursor(-1)", "VerifyScreenSavePwd(23130)",
                          "SystemParametersInfoA(97, 0x0, NULL, 0)", "ShowCursor(0)",
                          "SystemParametersInfoA(17, 0x1, NULL, 0)"));
  EXPECT_TRUE(rig.saver.StopRequested);
}

TEST(EndSaver, On9xAWrongPasswordHidesTheCursorAgainAndKeepsRunning) {
  SaverRig rig("/s");
  rig.platform.platformId = 1;
  rig.platform.passwordAnswer = 0;
  rig.saver.CursorCount = rig.platform.ShowCursor(0);
  std::vector<std::string> afterFirstInput;
  rig.Run([&](int n) {
    if (n == 1) {
      const std::size_t mark = rig.platform.calls.size();
      rig.saver.Display_MouseDown();
      afterFirstInput = rig.CallsSince(mark);
      EXPECT_FALSE(rig.saver.StopRequested);
      EXPECT_EQ(rig.saver.CursorCount, -1);
    }
    if (n == 2) {
      rig.platform.passwordAnswer = 1;  // the next try is right
      rig.saver.Form_KeyDown();
    }
  });
  EXPECT_THAT(afterFirstInput, ElementsAre("GetVersionExA(148)", "ShowCursor(-1)",
                                           "VerifyScreenSavePwd(23130)", "ShowCursor(0)"));
  EXPECT_EQ(rig.platform.CallsStartingWith("VerifyScreenSavePwd").size(), 2u);
  EXPECT_TRUE(rig.platform.saverClosed);
}

TEST(EndSaver, On9xWithoutThePasswordServiceTheSaverStillEnds) {
  SaverRig rig("/s");
  rig.platform.platformId = 1;
  rig.platform.passwordAnswer = std::nullopt;
  std::size_t mark = 0;
  EndSaverCalls(rig, mark);
  EXPECT_TRUE(rig.saver.StopRequested);
  EXPECT_THAT(rig.platform.CallsStartingWith("SystemParametersInfoA(17"),
              ElementsAre("SystemParametersInfoA(17, 0x1, NULL, 0)"));
}

TEST(EndSaver, ThePlainRunOnlyMarksTheSaverActive) {
  SaverRig rig("");
  rig.platform.platformId = 1;
  rig.Run([&](int) {
    const std::size_t mark = rig.platform.calls.size();
    rig.saver.Form_KeyDown();
    EXPECT_THAT(rig.CallsSince(mark), ElementsAre("SystemParametersInfoA(17, 0x1, NULL, 0)"));
  });
  EXPECT_TRUE(rig.platform.saverClosed);
}

TEST(MovementRule, TheFirstEventOnlyRecordsAndBothCoordinatesMustDiffer) {
  SaverRig rig("/s");
  rig.Run([&](int) {
    rig.saver.Display_MouseMove(100, 100);  // records
    EXPECT_FALSE(rig.saver.StopRequested);
    rig.saver.Display_MouseMove(500, 100);  // only x differs
    rig.saver.Display_MouseMove(100, 300);  // only y differs
    rig.saver.Display_MouseMove(100, 100);  // neither
    EXPECT_FALSE(rig.saver.StopRequested);
    rig.saver.Display_MouseMove(101, 101);  // a diagonal pixel
    EXPECT_TRUE(rig.saver.StopRequested);
  });
  EXPECT_TRUE(rig.platform.saverClosed);
}

TEST(MovementRule, TheReferenceIsNotUpdatedByOneSidedMoves) {
  SaverRig rig("/s");
  rig.Run([&](int) {
    rig.saver.Display_MouseMove(10, 10);
    for (float x = 11; x < 400; x += 1) rig.saver.Display_MouseMove(x, 10);
    EXPECT_FALSE(rig.saver.StopRequested);
    rig.saver.Display_MouseMove(399, 11);  // differs from (10, 10) on both axes
    EXPECT_TRUE(rig.saver.StopRequested);
  });
}

TEST(MovementRule, AfterEndingTheNextMoveRecordsAgain) {
  SaverRig rig("/s");
  rig.platform.platformId = 1;
  rig.platform.passwordAnswer = 0;  // the saver survives the first end
  rig.Run([&](int n) {
    if (n != 1) {
      rig.platform.passwordAnswer = 1;
      return rig.saver.Form_KeyDown();
    }
    rig.saver.Display_MouseMove(10, 10);
    rig.saver.Display_MouseMove(20, 20);
    EXPECT_EQ(rig.platform.CallsStartingWith("VerifyScreenSavePwd").size(), 1u);
    rig.saver.Display_MouseMove(30, 30);  // records afresh
    EXPECT_EQ(rig.platform.CallsStartingWith("VerifyScreenSavePwd").size(), 1u);
    rig.saver.Display_MouseMove(40, 40);
    EXPECT_EQ(rig.platform.CallsStartingWith("VerifyScreenSavePwd").size(), 2u);
  });
}

TEST(MovementRule, ThePlainRunIgnoresTheMouse) {
  SaverRig rig("");
  rig.Run([&](int) {
    rig.saver.Display_MouseMove(1, 1);
    rig.saver.Display_MouseMove(200, 300);
    rig.saver.Display_MouseMove(5, 7);
    EXPECT_FALSE(rig.saver.StopRequested);
    rig.saver.Form_KeyDown();
  });
}

}  // namespace
}  // namespace vorn
