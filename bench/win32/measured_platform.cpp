#include "measured_platform.h"

#include <utility>

namespace vorn::bench {

MeasuredPlatform::MeasuredPlatform(HINSTANCE instance, std::string argumentText, Schedule schedule,
                                   Report report)
    : Win32Platform(instance),
      argumentText_(std::move(argumentText)),
      report_(std::move(report)),
      meter_(schedule) {}

WindowHandle MeasuredPlatform::CreateSaverWindow(SaverEvents& events) {
  const WindowHandle window = Win32Platform::CreateSaverWindow(events);
  window_ = win32::ToHwnd(window);
  return window;
}

void MeasuredPlatform::FillRect(SurfaceId surface, std::int32_t left, std::int32_t top,
                                std::int32_t right, std::int32_t bottom, std::uint32_t colour) {
  Win32Platform::FillRect(surface, left, top, right, bottom, colour);
  if (surface == SurfaceId::SaverBuffer) meter_.BeginParticles(SteadyMicroseconds());
}

std::int32_t MeasuredPlatform::BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y,
                                      std::int32_t width, std::int32_t height, SurfaceId source,
                                      std::int32_t sourceX, std::int32_t sourceY,
                                      std::uint32_t rop) {
  const bool present = destination == SurfaceId::SaverDisplay;
  if (present) meter_.EndParticles(SteadyMicroseconds());
  const std::int32_t result =
      Win32Platform::BitBlt(destination, x, y, width, height, source, sourceX, sourceY, rop);
  if (present) Tick();
  return result;
}

void MeasuredPlatform::RefreshSurface(SurfaceId surface) {
  Win32Platform::RefreshSurface(surface);
  if (surface == SurfaceId::DialogDisplay) Tick();
}

void MeasuredPlatform::Tick() {
  if (!meter_.Tick(SteadyMicroseconds())) return;
  meter_.AddTo(report_);
  report_.Write();
  // The saver ends through its own input path; the dialog has no key for it.
  if (window_ != nullptr) {
    PostMessageW(window_, WM_KEYDOWN, VK_SPACE, 0);
  } else {
    ExitProcess(0);
  }
}

}  // namespace vorn::bench
