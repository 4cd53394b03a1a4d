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

void MeasuredPlatform::DoEvents() {
  Win32Platform::DoEvents();
  meter_.BeginParticles(SteadyMicroseconds());
}

// A wait that saw no message is not followed by a look at the messages: the
// frame's work starts after it.
bool MeasuredPlatform::WaitForEvents(std::uint32_t timeoutMs) {
  const bool message = Win32Platform::WaitForEvents(timeoutMs);
  meter_.BeginParticles(SteadyMicroseconds());
  return message;
}

bool MeasuredPlatform::PresentFrame(const std::vector<Rect>& pieces) {
  meter_.EndParticles(SteadyMicroseconds());
  const bool presented = Win32Platform::PresentFrame(pieces);
  Tick();
  return presented;
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
