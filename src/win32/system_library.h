// Services of the system's own: its libraries, loaded by their full path in
// the system folder, never from the program's folder or the search path; the
// timer's resolution; the local clock.
#pragma once

#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdint>

#include "core/local_clock.h"

namespace vorn::win32 {

struct NoCopy {
  NoCopy() = default;
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;
};

// The function `name` of `module` with its type; null when either is missing.
template <typename Fn>
Fn ModuleFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a generic function pointer: FARPROC's own type says nothing.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The system's libraries the program takes functions from at run time.
enum class SystemDll {
  Kernel32,
  User32,
  Shcore,
  Comctl32,
  Winmm,
  Mpr,
  PasswordCpl,
  Wtsapi32,
  Ole32,
  Oleaut32,
  Oleacc
};
// kernel32 and user32 as every process has them; the others loaded from the
// system folder by their full path (never from the program's folder or the
// search path) on first use and kept; null where the system lacks one.
HMODULE SystemModule(SystemDll dll);

// Every function looked up at run time rather than imported, because a
// Windows the program starts on lacks it or its library must not be looked
// for beside the program. Each is null where the system lacks it. COM and
// Active Accessibility (ole32, oleaut32, oleacc) serve only a screen reader
// that asks for the dialog: a start that is never asked loads none of them.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
using GetSystemTimePreciseAsFileTimeFn = void(WINAPI*)(LPFILETIME);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using RegisterPowerSettingNotificationFn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using timeBeginPeriodFn = UINT(WINAPI*)(UINT);
using timeEndPeriodFn = UINT(WINAPI*)(UINT);
using PwdChangePasswordAFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
using WTSRegisterSessionNotificationFn = BOOL(WINAPI*)(HWND, DWORD);
using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
// clang-format off
#define VORN_LATE_FUNCTIONS(X)                                        \
  X(Kernel32, SetDefaultDllDirectories)          /* Windows 8 on */   \
  X(Kernel32, SetDllDirectoryW)                  /* XP SP1 on */      \
  X(Kernel32, GetSystemTimePreciseAsFileTime)    /* Windows 8 on */   \
  X(User32, GetDpiForWindow)                     /* Windows 10 on */  \
  X(User32, RegisterPowerSettingNotification)    /* Vista on */       \
  X(Shcore, GetDpiForMonitor)                    /* Windows 8.1 on */ \
  X(Comctl32, InitCommonControlsEx)                                   \
  X(Winmm, timeBeginPeriod)                                           \
  X(Winmm, timeEndPeriod)                                             \
  X(Mpr, PwdChangePasswordA)                     /* Windows 9x */     \
  X(PasswordCpl, VerifyScreenSavePwd)            /* Windows 9x */     \
  X(Wtsapi32, WTSRegisterSessionNotification)    /* XP on */          \
  X(Ole32, CoInitializeEx)                                            \
  X(Ole32, CoUninitialize)                                            \
  X(Oleaut32, SysAllocStringLen)                                      \
  X(Oleacc, LresultFromObject)                                        \
  X(Oleacc, CreateStdAccessibleObject)
// clang-format on
namespace late {
#define VORN_LOOK_UP(dll, name)                                                              \
  inline name##Fn name() {                                                                   \
    static const auto found = ModuleFunction<name##Fn>(SystemModule(SystemDll::dll), #name); \
    return found;                                                                            \
  }
VORN_LATE_FUNCTIONS(VORN_LOOK_UP)
#undef VORN_LOOK_UP
}  // namespace late

// Dots per inch, from one place: of the screen as a whole (96 where it says
// nothing); of a monitor, the scaling the user chose for it; of the monitor a
// window stands on. The last two are the screen's where the system does not
// know them per monitor.
int ScreenDpi();
int MonitorDpi(HMONITOR monitor);
int WindowDpi(HWND window);

// The system timer's finer resolution (timeBeginPeriod), held while this lives.
// winmm.dll is not one of the system's known libraries, so a plain import of it
// would be looked for beside the program first; it is loaded by its full path.
class TimerResolution : NoCopy {
 public:
  explicit TimerResolution(UINT periodMs) : periodMs_(periodMs) {
    const auto begin = late::timeBeginPeriod();
    const auto end = late::timeEndPeriod();
    if (begin != nullptr && end != nullptr && begin(periodMs_) == kTimerNoError) end_ = end;
  }
  ~TimerResolution() {
    if (end_ != nullptr) end_(periodMs_);
  }

 private:
  static constexpr UINT kTimerNoError = 0;  // TIMERR_NOERROR
  UINT periodMs_;
  timeEndPeriodFn end_ = nullptr;  // set once the period is raised
};

// The local clock, read several times per particle per frame by the random
// source. GetLocalTime converts to local time on every call (about 0.4 us under
// Wine); this reads the system time (about 0.05 us, precisely from Windows 8
// on, else as coarsely as GetLocalTime) and keeps the local offset a second.
class SystemClock {
 public:
  float SecondsSinceMidnight() {
    FILETIME utcTime{};
    readTime_(&utcTime);
    const std::int64_t utc = Ticks(utcTime);
    if (clock_.NeedsOffset(utc)) {
      FILETIME localTime{};
      clock_.SetOffset(utc,
                       FileTimeToLocalFileTime(&utcTime, &localTime) ? Ticks(localTime) - utc : 0);
    }
    return clock_.SecondsSinceMidnight(utc);
  }

 private:
  using ReadTimeFn = GetSystemTimePreciseAsFileTimeFn;
  static std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) |
                                     time.dwLowDateTime);
  }
  ReadTimeFn readTime_ = [] {  // precise where the system has it
    const ReadTimeFn precise = late::GetSystemTimePreciseAsFileTime();
    return precise != nullptr ? precise : &GetSystemTimeAsFileTime;
  }();
  LocalClock clock_;
};

}  // namespace vorn::win32
