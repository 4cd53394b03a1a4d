#include "saver/saver.h"

#include <algorithm>
#include <utility>

#include "core/command_line.h"
#include "core/flame.h"
#include "system/system_checks.h"

namespace vorn {

// The sheet at 96 dpi is the embedded one.
static_assert(kBaseDpi == kDefaultDpi);

void VornS::Load() {
  window_ = platform_.CreateSaverWindow(*this);
  Form_Load();
}

std::int32_t VornS::Random(std::int32_t low, std::int32_t high) {
  return RandomRange(platform_, random_, low, high);
}

void VornS::Form_Load() {
  FitToDisplay();
  platform_.StartTimer(kSaverTimerIntervalMs);
  platform_.ShowWindow(window_);
  platform_.SetWindowPos(window_, kHwndTopmost, 0, 0, 0, 0, kSwpNoSizeNoMoveNoActivate);
  FrameLoop();
}

void VornS::FitToDisplay() {
  fitted_ = platform_.GetDisplayLayout();
  const DisplayLayout& layout = fitted_;
  const PixelRect& screen = layout.virtualScreen;
  WindowW = screen.right - screen.left;
  WindowH = screen.bottom - screen.top;
  platform_.MoveWindow(window_, screen.left, screen.top, WindowW, WindowH);
  frame_.Resize(WindowW, WindowH);
  // The window may have moved: a position in its old coordinates is no
  // reference, and the system's own mouse move after the move must not end the saver.
  moveRefSet_ = false;
  swarms.clear();  // the old tables go before the new ones are allocated
  for (const Monitor& monitor : layout.monitors) {
    // The part of the monitor on the virtual screen, in the window's coordinates.
    Swarm swarm;
    swarm.area = {std::max(monitor.left, screen.left) - screen.left,
                  std::max(monitor.top, screen.top) - screen.top,
                  std::min(monitor.right, screen.right) - screen.left,
                  std::min(monitor.bottom, screen.bottom) - screen.top};
    const std::int32_t width = swarm.area.right - swarm.area.left;
    const std::int32_t height = swarm.area.bottom - swarm.area.top;
    if (width <= 0 || height <= 0) continue;
    swarm.dpi = std::clamp(monitor.dpi, kMinDpi, kMaxDpi);
    swarm.ScreenW = ToLogical(width, swarm.dpi);
    swarm.ScreenH = ToLogical(height, swarm.dpi);
    frame_.LoadSheet(swarm.dpi);
    swarm.particles = AllocateParticles(settings_.Num);
    BurstParticles(swarm.particles, swarm.ScreenW, swarm.ScreenH, randomRange_);
    swarms.push_back(std::move(swarm));
  }
  Ticks = 0;
}

void VornS::ClearBuffer() { frame_.Clear(); }

// Back on, the display may have lost the picture.
void VornS::Form_DisplayPower(bool on) {
  displayOn_ = on;
  if (on) frame_.ScreenLost();
}

// Connected again, the session's display shows whatever it showed before.
void VornS::Form_SessionChange(bool remote, bool connected) {
  if (power_.disconnected && connected) frame_.ScreenLost();
  power_.remoteSession = remote;
  power_.disconnected = !connected;
}

namespace {

// A logical place on a monitor `extent` pixels (`logicalExtent` logical
// pixels) across, in its pixels. A particle at the far edge lies wholly beyond
// it, as at 100 %, also where rounding would bring it a pixel short.
std::int32_t PhysicalPlace(std::int32_t place, std::int32_t logicalExtent, std::int32_t extent,
                           std::int32_t dpi) {
  const std::int32_t physical = ToPhysical(place, dpi);
  return place >= logicalExtent ? std::max(physical, extent) : physical;
}

}  // namespace

bool PlaceCell(const Swarm& swarm, const Particle& p, std::int64_t clipRight,
               std::int64_t clipBottom, BlitArea& cell) {
  const CellSize size = ScaledCell(swarm.dpi);
  const PixelRect& area = swarm.area;
  const std::int32_t x =
      area.left + PhysicalPlace(p.X, swarm.ScreenW, area.right - area.left, swarm.dpi);
  const std::int32_t y =
      area.top + PhysicalPlace(p.Y, swarm.ScreenH, area.bottom - area.top, swarm.dpi);
  cell = {x,
          y,
          static_cast<std::int32_t>(std::min<std::int64_t>(size.width, clipRight - x)),
          static_cast<std::int32_t>(std::min<std::int64_t>(size.height, clipBottom - y)),
          p.SrcX / kCellWidth * size.width,
          p.SrcY / kCellHeight * size.height};
  return cell.w > 0 && cell.h > 0;
}

// A step the frame does not show: the walk and the flicker advance.
void VornS::StepSwarm(Swarm& swarm) {
  for (Particle& p : swarm.particles) {
    StepParticle(p, swarm.ScreenW, swarm.ScreenH, settings_.Speed, randomRange_);
    NextCell(p.SrcX, p.SrcY);
  }
}

void VornS::DrawSwarm(Swarm& swarm) {
  // A flame is cut at an edge its monitor shares with another one; at the
  // window's own edges the frame clips it.
  const std::int64_t clipRight = swarm.area.right < WindowW ? swarm.area.right : INT32_MAX;
  const std::int64_t clipBottom = swarm.area.bottom < WindowH ? swarm.area.bottom : INT32_MAX;
  for (Particle& p : swarm.particles) {
    StepParticle(p, swarm.ScreenW, swarm.ScreenH, settings_.Speed, randomRange_);
    BlitArea cell;
    if (PlaceCell(swarm, p, clipRight, clipBottom, cell)) frame_.OrCell(swarm.dpi, cell);
    NextCell(p.SrcX, p.SrcY);
  }
}

// The steps before the drawn one go over every swarm in turn, as frames
// would: the swarms take their random numbers in the same order at any rate.
void VornS::DrawFrame(std::int32_t steps) {
  for (std::int32_t step = 1; step < steps; ++step) {
    for (Swarm& swarm : swarms) StepSwarm(swarm);
  }
  ClearBuffer();
  for (std::size_t i = 0; i < swarms.size(); ++i) {
    // Input is looked at between two monitors' swarms, so that many monitors
    // with many flames each still end on a key press in good time.
    if (i > 0) platform_.DoEvents();
    if (StopRequested) return;
    DrawSwarm(swarms[i]);
  }
  frame_.Present();
}

// Every call that looks at the messages is a round trip to the system: they
// are looked at when a wait saw one, or once when there was no time to wait.
void VornS::YieldUntil(std::int64_t deadline) {
  bool waited = false;
  while (!StopRequested) {
    if (!displayOn_ || !PacingFor(power_).draws) {  // nothing is drawn until it can be seen
      platform_.WaitForEvents(kWaitForever);
      platform_.DoEvents();
      waited = true;
      continue;
    }
    const std::int64_t remaining = deadline - platform_.NowMicroseconds();
    if (remaining <= 0) break;
    if (platform_.WaitForEvents(static_cast<std::uint32_t>((remaining + 999) / 1000))) {
      platform_.DoEvents();
    }
    waited = true;
  }
  if (!waited && !StopRequested) platform_.DoEvents();
}

void VornS::FrameLoop() {
  bool newSwarms = true;  // each flame of a new swarm starts at a random cell
  std::int64_t nextFrame = platform_.NowMicroseconds();
  while (!StopRequested) {
    if (std::exchange(layoutChanged_, false)) {
      FitToDisplay();
      newSwarms = true;
    }
    if (std::exchange(newSwarms, false)) {
      for (Swarm& swarm : swarms) InitCells(swarm.particles, randomRange_);
    }
    const Pacing pacing = PacingFor(power_);
    DrawFrame(pacing.stepsPerFrame);
    const std::int64_t period = framePeriod_ * pacing.stepsPerFrame;
    nextFrame += period;
    // After a stall (a slow frame, the password dialog) start a fresh schedule
    // rather than racing through the frames that were missed.
    const std::int64_t now = platform_.NowMicroseconds();
    if (now - nextFrame > period) nextFrame = now;
    YieldUntil(nextFrame);
  }
  platform_.CloseSaverWindow();
}

void VornS::Timer1_Timer() {
  // Where the system does not announce a new layout of the monitors (Wine
  // sends no WM_DISPLAYCHANGE when the X server's monitors change), the tick
  // finds it.
  if (platform_.GetDisplayLayout() != fitted_) layoutChanged_ = true;
  if (Ticks < INT32_MAX) ++Ticks;
  if (Ticks < settings_.Intval) return;
  Ticks = 0;
  for (Swarm& swarm : swarms) {
    BurstParticles(swarm.particles, swarm.ScreenW, swarm.ScreenH, randomRange_);
  }
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
    frame_.ScreenLost();  // the password dialog stood over the saver
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
