// A library of the system's own, loaded by its full path in the system folder,
// never from the program's folder or the search path.
#pragma once

#include <windows.h>

#include <string>

namespace vorn::win32 {

// The function `name` of `module` with its type; null when either is missing.
template <typename Fn>
Fn ModuleFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a generic function pointer: FARPROC's own type says nothing.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of kernel32, looked up at run time because older Windows lacks
// it. kernel32 is in every process and is not looked for on any path.
template <typename Fn>
Fn KernelFunction(const char* name) {
  return ModuleFunction<Fn>(GetModuleHandleW(L"kernel32.dll"), name);
}

class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  ~SystemLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  template <typename Fn>
  Fn Function(const char* name) const {
    return ModuleFunction<Fn>(module_, name);
  }

 private:
  HMODULE module_ = nullptr;
};

// The system timer's finer resolution (timeBeginPeriod), held while this lives.
// winmm.dll is not one of the system's known libraries, so a plain import of it
// would be looked for beside the program first; it is loaded by its full path.
class TimerResolution {
 public:
  explicit TimerResolution(UINT periodMs) : winmm_(L"winmm.dll"), periodMs_(periodMs) {
    const auto begin = winmm_.Function<PeriodFn>("timeBeginPeriod");
    end_ = winmm_.Function<PeriodFn>("timeEndPeriod");
    raised_ = begin != nullptr && end_ != nullptr && begin(periodMs_) == kTimerNoError;
  }
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;
  ~TimerResolution() {
    if (raised_) end_(periodMs_);
  }

 private:
  using PeriodFn = UINT(WINAPI*)(UINT);     // MMRESULT, an unsigned int
  static constexpr UINT kTimerNoError = 0;  // TIMERR_NOERROR
  SystemLibrary winmm_;
  UINT periodMs_;
  PeriodFn end_ = nullptr;
  bool raised_ = false;
};

}  // namespace vorn::win32
