// The windows of saver mode and preview mode, each with its own state: the
// platform makes the one its mode asks for and passes the calls on.
#pragma once

#include <vector>

#include "win32/win32_platform.h"

namespace vorn::win32 {

// The saver's full-screen window ("Vorn_Main"): shows the frames presented
// from its frame buffer and turns its messages into the saver's events.
class SaverWindow : NoCopy {
 public:
  // The hidden window; Window() is null when it could not be made.
  SaverWindow(HINSTANCE instance, SaverEvents& events);
  HWND Window() const { return window_; }
  PixelView CreateFrameBuffer(std::int32_t width, std::int32_t height) {
    return buffer_.CreateDib(width, height) ? buffer_.Pixels() : PixelView{};
  }
  // Copies each piece of the frame buffer to the window; false when one failed.
  bool Present(const std::vector<Rect>& pieces);
  void StartTimer(UINT intervalMs);
  // Ends the process, which takes the window with it.
  [[noreturn]] void Close();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  // Passes on a change of the display's power, the power source or battery saver.
  void OnPowerBroadcast(WPARAM event, LPARAM data);

  SaverEvents& events_;
  HWND window_ = nullptr;
  HDC displayDc_ = nullptr;  // the class's own DC, kept for the window's life
  MemorySurface buffer_;
  TimerResolution timerResolution_;  // raised while the saver runs
};

// The preview window: borderless and black, the still on it; it takes no
// input and lives as long as the preview area that holds it.
class PreviewWindow : NoCopy {
 public:
  explicit PreviewWindow(HINSTANCE instance);
  HWND Window() const { return window_; }
  // Where the still lies in the window, clipped to it.
  void MoveImage(const RECT& image);
  void Show();
  // Serves the window's messages until it is gone, or its preview area is:
  // when the area's process is killed, nothing tells the window.
  void RunMessageLoop() const;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND area_ = nullptr;  // the window that holds it
  MemorySurface still_;
  RECT image_{};
};

// The virtual screen and its monitors with their scaling.
DisplayLayout CurrentDisplayLayout();

}  // namespace vorn::win32
