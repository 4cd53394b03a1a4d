// The settings dialog for a screen reader: the system's accessibility
// interface (IAccessible) over what the dialog's model describes
// (settings_dialog/accessible_tree.h), handed out on WM_GETOBJECT for the
// dialog's client area (every control a child of it) and for each scroll bar's
// window (the bar itself, where the keyboard focus lands).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "settings_dialog/accessible_tree.h"
#include "win32/system_library.h"

namespace vorn::win32 {

class AccessibleObject;

class DialogAccessibility : NoCopy {
 public:
  // The window's and the bars' handles are read when needed: null while there is none.
  DialogAccessibility(DialogModel& model, const HWND& window,
                      const std::array<HWND, kBarCount>& bars)
      : model_(model), window_(window), bars_(bars) {}
  // The objects handed out answer from then on that they are gone; COM ends
  // on this thread if it started here.
  ~DialogAccessibility();

  // The answer to `message` on the dialog's window (bar 0) or on HS(bar):
  // WM_GETOBJECT for a client area, and the default actions that the objects
  // leave for the window's own turn; nullopt for any other message.
  std::optional<LRESULT> OnMessage(std::int16_t bar, UINT message, WPARAM wParam, LPARAM lParam);

  // For the objects: the dialog's window (bar 0) or HS(bar)'s; the tree now,
  // on the screen, and the dialog's client area there; the model.
  HWND Window(std::int16_t bar) const {
    if (bar == 0) return window_;
    // cppcheck-suppress CastIntegerToAddressAtReturn ; an HWND, which cppcheck takes for a number
    return bars_[BarSlot(bar)];
  }
  AccessibleTree Tree() const;
  AccessibleElement Client() const;
  DialogModel& Model() { return model_; }

 private:
  // COM on this thread, started on the first request; false where it cannot be.
  bool StartCom();

  DialogModel& model_;
  const HWND& window_;
  const std::array<HWND, kBarCount>& bars_;
  std::array<AccessibleObject*, kBarCount + 1> objects_{};  // the client's, HS(1)'s..HS(3)'s
  std::optional<bool> com_;                                 // whether COM can serve, once tried
  bool comOwed_ = false;  // CoInitializeEx succeeded: CoUninitialize is due
};

}  // namespace vorn::win32
