#include "startup/main.h"

#include <cstdint>
#include <string>

#include "core/command_line.h"
#include "core/settings_value.h"
#include "preview_window/preview.h"
#include "saver/saver.h"
#include "settings/settings.h"
#include "settings_dialog/dialog.h"
#include "settings_dialog/layout.h"
#include "system/system_checks.h"

namespace vorn {
namespace {

// The password-change mode: the system's dialog on the 95/98 family.
void ChangePassword(Platform& platform, std::string_view argumentText) {
  const auto handle = StrictNumber(HandleText(argumentText));
  if (!handle) return;  // not a whole number: ends like a switch we do not know
  if (!IsNT(platform)) platform.PwdChangePasswordA("SCRSAVE", *handle, 0, 0);
}

}  // namespace

void Main(Platform& platform) {
  const bool saverRunning = platform.FindWindowByCaption(kSaverCaption) != kNoWindow;
  const WindowHandle openDialog = platform.FindWindowByCaption(kDialogCaption);
  const std::string argumentText = platform.ArgumentText();
  const std::string letter = SwitchLetter(argumentText);
  if (saverRunning || openDialog != kNoWindow) {
    // A second click on Settings is not lost: the open dialog comes to the front.
    if (openDialog != kNoWindow && letter == "C") platform.SetForegroundWindow(openDialog);
    return platform.EndProcess();
  }
  if (letter == "P") {
    return ShowVornR(platform, LenientHandle(HandleText(argumentText)));
  }
  Settings settings;
  LoadSettings(platform, settings);
  if (letter == "A") {
    ChangePassword(platform, argumentText);
    return platform.EndProcess();
  }
  if (letter == "C") {
    VornP dialog(platform, settings);
    dialog.Show();
    return platform.EndProcess();
  }
  if (!argumentText.empty() && letter != "S") return platform.EndProcess();
  std::int32_t cursorCount = 0;
  if (letter == "S") {
    cursorCount = platform.ShowCursor(0);
    AllowSystemKeys(platform, false);
  }
  VornS saver(platform, settings, cursorCount);
  saver.Load();
}

}  // namespace vorn
