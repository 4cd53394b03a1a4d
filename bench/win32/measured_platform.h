// The real Win32 adapter with a meter on it. Every call goes to the adapter
// the shipping program uses; on the way it counts and times the frames the
// saver presents (and the cells the settings dialog's preview shows). After
// the warm-up and the measured span it writes the report and ends the run: the
// saver through a key press posted to its window, the dialog at once.
#pragma once

#include <string>

#include "bench_support.h"
#include "frame_meter.h"
#include "win32/win32_platform.h"

namespace vorn::bench {

class MeasuredPlatform final : public win32::Win32Platform {
 public:
  MeasuredPlatform(HINSTANCE instance, std::string argumentText, Schedule schedule, Report report);

  // The routines see this command line instead of the benchmark's own.
  std::string ArgumentText() override { return argumentText_; }
  WindowHandle CreateSaverWindow(SaverEvents& events) override;
  // A frame's work runs from the last dispatch of messages before it to its present.
  void DoEvents() override;
  bool WaitForEvents(std::uint32_t timeoutMs) override;
  bool PresentFrame(const std::vector<Rect>& pieces) override;
  void RefreshSurface(SurfaceId surface) override;

 private:
  void Tick();

  std::string argumentText_;
  Report report_;
  FrameMeter meter_;
  HWND window_ = nullptr;
};

}  // namespace vorn::bench
