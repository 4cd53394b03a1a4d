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
  void FillRect(SurfaceId surface, std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom, std::uint32_t colour) override;
  std::int32_t BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, SurfaceId source, std::int32_t sourceX,
                      std::int32_t sourceY, std::uint32_t rop) override;
  void RefreshSurface(SurfaceId surface) override;

 private:
  void Tick();

  std::string argumentText_;
  Report report_;
  FrameMeter meter_;
  HWND window_ = nullptr;
};

}  // namespace vorn::bench
