// The smallest Windows program that does what the saver must do to start and
// end: a full-screen black window that is painted once and ends on a key press
// or a click. Its start-up, its end and its memory are the floor the saver is
// measured against.
//
//   minimal_window.exe REPORT
//
// REPORT receives "first_present_unix_us" (the wall clock once the first
// paint is done) and the peak working set at that moment.
//
// It ends by leaving its message loop, so that the process goes without
// destroying the window first (a hidden or destroyed window costs Wine a wait
// on the window system when no window manager runs).
#include <windows.h>

#include <string>
#include <vector>

#include "bench_support.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VornBenchMinimal";
constexpr int kUsageExitCode = 2;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::vector<std::wstring> args = vorn::bench::Arguments();
  if (args.empty()) return kUsageExitCode;
  HWND window =
      vorn::bench::CreateFullScreenWindow(instance, kWindowClass, L"Vorn minimal", WindowProc, 0);
  ShowWindow(window, SW_SHOW);
  SetFocus(window);
  UpdateWindow(window);  // the first paint, done before this returns
  vorn::bench::Report report(args.front());
  report.AddInteger("first_present_unix_us", vorn::bench::UnixMicroseconds());
  report.AddInteger("peak_working_set_bytes",
                    static_cast<std::int64_t>(vorn::bench::PeakWorkingSetBytes()));
  report.Write();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
