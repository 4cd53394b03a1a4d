// The saver window: full-screen flames, the frame cycle and the end on input.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "startup/vorn_b.h"

namespace vorn {

inline constexpr std::uint32_t kSaverTimerIntervalMs = 1000;
// The frame cycle presents at most one frame per this many microseconds (60 a
// second): the flame animation was drawn for a few dozen frames a second, and
// an unpaced loop would pin a processor core for a picture meant to rest.
inline constexpr std::int64_t kFramePeriodMicroseconds = 1'000'000 / 60;
inline constexpr std::uint32_t kSwpNoSizeNoMoveNoActivate = 0x13;
inline constexpr std::uint32_t kClearColour = 0;

class VornS final : public SaverEvents {
 public:
  // `framePeriodMicroseconds` is the least time between two presented frames;
  // 0 presents as fast as the frames are drawn (the benchmarks use that).
  VornS(Platform& platform, VornB& shared,
        std::int64_t framePeriodMicroseconds = kFramePeriodMicroseconds)
      : platform_(platform), shared_(shared), framePeriod_(framePeriodMicroseconds) {}
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

  // Window-level state.
  std::int32_t ScreenW = 0;
  std::int32_t ScreenH = 0;
  std::int32_t Ticks = 0;
  bool StopRequested = false;

 private:
  // One frame: clear, step and draw every particle, present.
  void DrawFrame();
  // Dispatches waiting messages until `deadline`, returning early once the
  // saver is asked to stop.
  void YieldUntil(std::int64_t deadline);
  std::int32_t Random(std::int32_t low, std::int32_t high);
  // Random, as the particle model takes it.
  const RandomRangeFn randomRange_ = [this](std::int32_t low, std::int32_t high) {
    return Random(low, high);
  };

  Platform& platform_;
  VornB& shared_;
  std::int64_t framePeriod_;
  WindowHandle window_ = kNoWindow;
  // The reference position of the movement rule.
  float moveRefX_ = 0;
  float moveRefY_ = 0;
  bool moveRefSet_ = false;
};

}  // namespace vorn
