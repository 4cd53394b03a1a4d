#include "saver/saver.h"

#include "core/command_line.h"
#include "core/raster.h"
#include "system/system_checks.h"

namespace vorn {

void VornS::Load() {
  window_ = platform_.CreateSaverWindow(*this);
  Form_Load();
}

std::int32_t VornS::Random(std::int32_t low, std::int32_t high) {
  return RandomRange(platform_, random_, low, high);
}

void VornS::Form_Load() {
  const ScreenSize screen = platform_.GetScreenSize();
  platform_.MoveWindow(window_, 0, 0, screen.width, screen.height);
  ScreenW = screen.width;
  ScreenH = screen.height;
  platform_.SizeSurface(SurfaceId::SaverBuffer, ScreenW, ScreenH);
  platform_.SizeSurface(SurfaceId::SaverDisplay, ScreenW, ScreenH);
  platform_.MoveSurface(SurfaceId::SaverDisplay, 0, 0);
  particles = AllocateParticles(settings_.Num);
  BurstParticles(particles, ScreenW, ScreenH, randomRange_);
  Ticks = 0;
  platform_.StartTimer(kSaverTimerIntervalMs);
  platform_.ShowWindow(window_);
  platform_.SetWindowPos(window_, kHwndTopmost, 0, 0, 0, 0, kSwpNoSizeNoMoveNoActivate);
  FrameLoop();
}

void VornS::ClearBuffer() {
  platform_.FillRect(SurfaceId::SaverBuffer, 0, 0, ScreenW, ScreenH, kClearColour);
}

void VornS::DrawFrame() {
  ClearBuffer();
  for (Particle& p : particles) {
    StepParticle(p, ScreenW, ScreenH, settings_.Speed, randomRange_);
    platform_.BitBlt(SurfaceId::SaverBuffer, p.X, p.Y, kCellWidth, kCellHeight,
                     SurfaceId::SaverSprites, p.SrcX, p.SrcY, kRopSrcPaint);
    NextCell(p.SrcX, p.SrcY);
  }
  platform_.BitBlt(SurfaceId::SaverDisplay, 0, 0, ScreenW, ScreenH, SurfaceId::SaverBuffer, 0, 0,
                   kRopSrcCopy);
}

void VornS::YieldUntil(std::int64_t deadline) {
  platform_.DoEvents();
  while (!StopRequested) {
    const std::int64_t remaining = deadline - platform_.NowMicroseconds();
    if (remaining <= 0) break;
    platform_.WaitForEvents(static_cast<std::uint32_t>((remaining + 999) / 1000));
    platform_.DoEvents();
  }
}

void VornS::FrameLoop() {
  InitCells(particles, randomRange_);
  std::int64_t nextFrame = platform_.NowMicroseconds();
  while (!StopRequested) {
    DrawFrame();
    nextFrame += framePeriod_;
    // After a stall (a slow frame, the password dialog) start a fresh schedule
    // rather than racing through the frames that were missed.
    const std::int64_t now = platform_.NowMicroseconds();
    if (now - nextFrame > framePeriod_) nextFrame = now;
    YieldUntil(nextFrame);
  }
  platform_.CloseSaverWindow();
}

void VornS::Timer1_Timer() {
  if (Ticks < INT32_MAX) ++Ticks;
  if (Ticks < settings_.Intval) return;
  Ticks = 0;
  BurstParticles(particles, ScreenW, ScreenH, randomRange_);
}

void VornS::Display_MouseDown() { EndSaver(); }

void VornS::Form_KeyDown() { EndSaver(); }

void VornS::Display_MouseMove(float x, float y) {
  if (platform_.ArgumentText().empty()) return;  // the plain run ignores the mouse
  if (!moveRefSet_) {
    moveRefX_ = x;
    moveRefY_ = y;
    moveRefSet_ = true;
    return;
  }
  if (x != moveRefX_ && y != moveRefY_) {
    EndSaver();
    moveRefSet_ = false;
  }
}

void VornS::EndSaver() {
  const bool saverSwitch = SwitchLetter(platform_.ArgumentText()) == "S";
  if (saverSwitch && !IsNT(platform_)) {
    CursorCount = platform_.ShowCursor(CursorCount);
    const std::optional<std::int32_t> verified = platform_.VerifyScreenSavePwd(window_);
    // A password service that cannot be loaded does not lock the user out.
    if (verified && *verified == 0) {
      CursorCount = platform_.ShowCursor(0);
      return;
    }
  }
  if (saverSwitch) {
    AllowSystemKeys(platform_, true);
    CursorCount = platform_.ShowCursor(CursorCount);
  }
  platform_.SystemParametersInfoA(kSpiSetScreenSaveActive, 1, nullptr, 0);
  StopRequested = true;
}

std::int32_t RandomRange(Platform& platform, RandomSource& random, std::int32_t low,
                         std::int32_t high) {
  random.Reseed(platform.SecondsSinceMidnight());
  return random.Range(low, high);
}

}  // namespace vorn
