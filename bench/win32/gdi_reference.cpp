// Two yardsticks for the saver's frame cycle, written the plain way with GDI
// and measured by the same meter as the saver:
//
//   gdi_reference.exe reference NUM WARMUP SECONDS REPORT
//     each frame clears a back buffer, steps NUM particles, OR-blits each one's
//     32 x 64 cell from a sprite sheet DIB, presents the buffer to a full-screen
//     window and pumps the waiting messages;
//   gdi_reference.exe floor NUM WARMUP SECONDS REPORT
//     each frame only clears, presents and pumps messages.
//
// A sixth argument FPS paces either loop to that many frames a second (it
// waits for messages in between), for the processor time of a paced floor.
//
// A key press or a click ends it early.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_support.h"
#include "frame_meter.h"
#include "win32/gdi.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VornBenchReference";
constexpr int kCellWidth = 32;
constexpr int kCellHeight = 64;
constexpr int kSheetSize = 256;
constexpr int kCellsPerRow = kSheetSize / kCellWidth;
constexpr int kCells = kCellsPerRow * (kSheetSize / kCellHeight);
constexpr int kSpeed = 5;
constexpr int kFullTurn = 360;
constexpr int kLeastTurn = 5;
constexpr int kTurnChoices = 6;  // turns of 5 to 10 degrees
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr std::size_t kModeArgument = 0;
constexpr std::size_t kNumArgument = 1;
constexpr std::size_t kScheduleArgument = 2;
constexpr std::size_t kReportArgument = 4;
constexpr std::size_t kFpsArgument = 5;
constexpr double kDefaultNum = 400;
constexpr int kUsageExitCode = 2;
constexpr double kMicrosecondsPerSecond = 1'000'000.0;

struct Particle {
  int x = 0;
  int y = 0;
  int angle = 0;
  int cell = 0;
};

int RandomBelow(int n) { return std::rand() % n; }

void Step(Particle& p, int width, int height) {
  const int turn = (RandomBelow(2) == 0 ? 1 : -1) * (kLeastTurn + RandomBelow(kTurnChoices));
  p.angle = (p.angle + turn + kFullTurn) % kFullTurn;
  const int length = 1 + RandomBelow(kSpeed);
  p.x += static_cast<int>(std::floor(std::cos(p.angle * kRadiansPerDegree) * length));
  p.y += static_cast<int>(std::floor(std::sin(p.angle * kRadiansPerDegree) * length));
  if (p.x < 0) p.x = width;
  if (p.x > width) p.x = 0;
  if (p.y < 0) p.y = height;
  if (p.y > height) p.y = 0;
  p.cell = (p.cell + 1) % kCells;
}

// A sprite sheet of 32 cells, each a different colour.
void PaintSheet(vorn::win32::MemorySurface& sheet) {
  sheet.CreateDib(kSheetSize, kSheetSize);
  for (int cell = 0; cell < kCells; ++cell) {
    const int left = cell % kCellsPerRow * kCellWidth;
    const int top = cell / kCellsPerRow * kCellHeight;
    const RECT area{left + 4, top + 8, left + kCellWidth - 4, top + kCellHeight - 4};
    SetDCBrushColor(sheet.Dc(), RGB(255, cell * 8, cell * 2));
    FillRect(sheet.Dc(), &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: PostQuitMessage(0); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND ShowFullScreenWindow(HINSTANCE instance) {
  HWND window = vorn::bench::CreateFullScreenWindow(instance, kWindowClass, L"Vorn reference",
                                                    WindowProc, CS_OWNDC);
  ShowWindow(window, SW_SHOW);
  SetFocus(window);
  return window;
}

// Waits until `deadline` (steady microseconds) or a message comes.
void WaitUntil(std::int64_t deadline) {
  for (std::int64_t now = vorn::bench::SteadyMicroseconds(); now < deadline;
       now = vorn::bench::SteadyMicroseconds()) {
    const auto ms = static_cast<DWORD>((deadline - now + 999) / 1000);
    if (MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
        WAIT_TIMEOUT) {
      return;
    }
  }
}

// False once the program is asked to end.
bool PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

struct Scene {
  HDC windowDc = nullptr;
  vorn::win32::MemorySurface buffer;
  vorn::win32::MemorySurface sheet;
  std::vector<Particle> particles;
  int width = 0;
  int height = 0;
};

void DrawFrame(Scene& scene, vorn::bench::FrameMeter& meter) {
  const RECT all{0, 0, scene.width, scene.height};
  FillRect(scene.buffer.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  meter.BeginParticles(vorn::bench::SteadyMicroseconds());
  for (Particle& p : scene.particles) {
    Step(p, scene.width, scene.height);
    BitBlt(scene.buffer.Dc(), p.x, p.y, kCellWidth, kCellHeight, scene.sheet.Dc(),
           p.cell % kCellsPerRow * kCellWidth, p.cell / kCellsPerRow * kCellHeight, SRCPAINT);
  }
  meter.EndParticles(vorn::bench::SteadyMicroseconds());
  BitBlt(scene.windowDc, 0, 0, scene.width, scene.height, scene.buffer.Dc(), 0, 0, SRCCOPY);
}

void SetUpScene(HINSTANCE instance, std::size_t num, Scene& scene) {
  scene.width = GetSystemMetrics(SM_CXSCREEN);
  scene.height = GetSystemMetrics(SM_CYSCREEN);
  scene.windowDc = GetDC(ShowFullScreenWindow(instance));
  scene.buffer.CreateDib(scene.width, scene.height);
  PaintSheet(scene.sheet);
  scene.particles.resize(num);
  for (Particle& p : scene.particles) {
    p = {scene.width / 2, scene.height / 2, RandomBelow(kFullTurn), RandomBelow(kCells)};
  }
}

int Run(HINSTANCE instance, std::size_t num, const std::vector<std::wstring>& args) {
  Scene scene;
  SetUpScene(instance, num, scene);
  vorn::bench::FrameMeter meter(vorn::bench::ScheduleFrom(args, kScheduleArgument));
  vorn::bench::Report report(args[kReportArgument]);
  const double fps = vorn::bench::NumberArgument(args, kFpsArgument, 0);
  const auto period = static_cast<std::int64_t>(fps > 0 ? kMicrosecondsPerSecond / fps : 0);
  std::int64_t nextFrame = vorn::bench::SteadyMicroseconds();
  do {
    DrawFrame(scene, meter);
    if (meter.Tick(vorn::bench::SteadyMicroseconds())) {
      meter.AddTo(report);
      report.Write();
      return 0;
    }
    if (period == 0) continue;
    // The saver's schedule: one frame a period, afresh after a stall.
    nextFrame += period;
    const std::int64_t now = vorn::bench::SteadyMicroseconds();
    if (now - nextFrame > period) nextFrame = now;
    WaitUntil(nextFrame);
  } while (PumpMessages());
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::vector<std::wstring> args = vorn::bench::Arguments();
  const bool known = args.size() > kReportArgument &&
                     (args[kModeArgument] == L"reference" || args[kModeArgument] == L"floor");
  if (!known) {
    std::fputs("usage: gdi_reference.exe reference|floor NUM WARMUP SECONDS REPORT [FPS]\n",
               stderr);
    return kUsageExitCode;
  }
  const double num = vorn::bench::NumberArgument(args, kNumArgument, kDefaultNum);
  const bool floorOnly = args[kModeArgument] == L"floor";
  return Run(instance, floorOnly ? 0 : static_cast<std::size_t>(num), args);
}
