// A library of the system's own, loaded by its full path in the system folder,
// never from the program's folder or the search path.
#pragma once

#include <windows.h>

#include <string>

namespace vorn::win32 {

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
    if (module_ == nullptr) return nullptr;
    // Through a generic function pointer: FARPROC's own type says nothing.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace vorn::win32
