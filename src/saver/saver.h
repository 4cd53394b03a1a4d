// The saver window: full-screen flames, the frame cycle and the end on input.
#pragma once

#include <cstdint>
#include <vector>

#include "core/particles.h"
#include "core/random_source.h"
#include "core/raster.h"
#include "platform/platform.h"
#include "saver/frame.h"
#include "saver/pacing.h"
#include "settings/settings.h"

namespace vorn {

// The saver window's caption, by which a second start finds a running saver.
inline constexpr const char* kSaverCaption = "Vorn_Main";
inline constexpr std::uint32_t kSaverTimerIntervalMs = 1000;
// The frame cycle presents at most one frame per this many microseconds (60 a
// second): the flame animation was drawn for a few dozen frames a second, and
// an unpaced loop would pin a processor core for a picture meant to rest.
inline constexpr std::int64_t kFramePeriodMicroseconds = 1'000'000 / 60;
inline constexpr std::uint32_t kSwpNoSizeNoMoveNoActivate = 0x13;

// One monitor's flames. They move in the monitor's own coordinates in logical
// pixels (0, 0 at its top-left corner; ScreenW x ScreenH its size: its pixels
// at 96 dpi, fewer at a larger scale), and are drawn at `area`, the monitor's
// place in the saver window, in its own pixels, with the sprite sheet for its
// `dpi`: the flames are the same size on every monitor.
struct Swarm {
  PixelRect area;
  std::int32_t ScreenW = 0;
  std::int32_t ScreenH = 0;
  Particles particles;
  std::int32_t dpi = kBaseDpi;
};

// Where particle `p` of `swarm` is drawn: its cell of the sheet for the swarm's
// dpi, at (X, Y) times the scale from the corner of the area, cut at
// `clipRight` and `clipBottom`. False when nothing of it is left.
bool PlaceCell(const Swarm& swarm, const Particle& p, std::int64_t clipRight,
               std::int64_t clipBottom, BlitArea& cell);

class VornS final : public SaverEvents {
 public:
  // `framePeriodMicroseconds` is the least time between two presented frames;
  // 0 presents as fast as the frames are drawn (the benchmarks use that).
  // `cursorCount` is what the start-up routine's ShowCursor call returned.
  // The frames are composed in `frame`, or in one of the saver's own.
  VornS(Platform& platform, const Settings& settings, std::int32_t cursorCount = 0,
        std::int64_t framePeriodMicroseconds = kFramePeriodMicroseconds,
        SaverFrame* frame = nullptr)
      : CursorCount(cursorCount),
        platform_(platform),
        settings_(settings),
        framePeriod_(framePeriodMicroseconds),
        ownFrame_(platform),
        frame_(frame != nullptr ? *frame : ownFrame_) {}
  // randomRange_ refers to this object.
  VornS(const VornS&) = delete;
  VornS& operator=(const VornS&) = delete;

  // Creates the window and runs Form_Load, which ends in the frame cycle.
  void Load();

  void Form_Load();
  void FrameLoop();
  void ClearBuffer();
  void EndSaver();

  // Event handlers, run only inside the frame cycle's yield.
  void Timer1_Timer() override;
  void Display_MouseDown() override;
  void Form_KeyDown() override;
  void Display_MouseMove(float x, float y) override;
  void Form_DisplayChange() override { layoutChanged_ = true; }
  void Form_DisplayPower(bool on) override;
  void Form_Paint() override { frame_.ScreenLost(); }
  void Form_PowerSetting(PowerSetting setting, std::uint32_t value) override {
    ApplyPowerSetting(power_, setting, value);
  }
  void Form_SessionChange(bool remote, bool connected) override;

  // Window-level state: the window covers the whole virtual screen, WindowW x
  // WindowH pixels, with a swarm for each monitor on it.
  std::int32_t WindowW = 0;
  std::int32_t WindowH = 0;
  std::int32_t Ticks = 0;
  bool StopRequested = false;
  // The value returned by the most recent ShowCursor call of the saver.
  std::int32_t CursorCount = 0;
  std::vector<Swarm> swarms;

 private:
  // Places the window over every monitor, sizes the frame to it and bursts a
  // new swarm from the centre of each monitor.
  void FitToDisplay();
  // One frame: clear, step every particle `steps` times and draw it, present.
  void DrawFrame(std::int32_t steps);
  void StepSwarm(Swarm& swarm);
  void DrawSwarm(Swarm& swarm);
  // Dispatches waiting messages until `deadline`, returning early once the
  // saver is asked to stop.
  void YieldUntil(std::int64_t deadline);
  std::int32_t Random(std::int32_t low, std::int32_t high);
  // Random, as the particle model takes it.
  const RandomRangeFn randomRange_ = [this](std::int32_t low, std::int32_t high) {
    return Random(low, high);
  };

  Platform& platform_;
  const Settings& settings_;
  RandomSource random_;
  std::int64_t framePeriod_;
  SaverFrame ownFrame_;
  SaverFrame& frame_;
  WindowHandle window_ = kNoWindow;
  // The reference position of the movement rule.
  float moveRefX_ = 0;
  float moveRefY_ = 0;
  bool moveRefSet_ = false;
  DisplayLayout fitted_;  // what the window and the swarms were last fitted to
  bool layoutChanged_ = false;
  bool displayOn_ = true;
  PowerState power_;
};

// A whole number uniform in low..high, the clock reading mixed in first.
std::int32_t RandomRange(Platform& platform, RandomSource& random, std::int32_t low,
                         std::int32_t high);

}  // namespace vorn
