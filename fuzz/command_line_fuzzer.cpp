// Main opens what the switch asks, nothing else (the readings themselves: the unit tables).
// Input: options, text.
#include "core/command_line.h"
#include "core/settings_value.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "startup/main.h"

namespace vorn::fuzz {

constexpr WindowHandle kPreviewParent = 4242;  // the one window that exists

void Check(std::string_view input) {
  if (input.empty()) return;
  const auto options = static_cast<std::uint8_t>(input[0]);
  const std::string_view text = input.substr(1);
  testing::FakePlatform platform;
  platform.argumentText = std::string(text);
  platform.platformId = options & 1 ? 1 : kVerPlatformWin32Nt;  // bit 0: 95/98
  platform.screen = {160, 120};
  platform.windowRects[kPreviewParent] = {10, 20, 162, 132};
  constexpr std::optional<std::int32_t> kFirstAnswers[] = {0, 1, std::nullopt, 0};
  platform.passwordAnswers = {kFirstAnswers[(options >> 3) & 3], 1};  // bits 3-4: the first
  platform.onDoEvents = [&](int) {
    if (auto* saver = platform.saverEvents) saver->Form_KeyDown();
  };
  const int dialogExit = (options >> 1) & 3;  // bits 1-2: 0 Set, 1 Cancel, 2 and 3 the close box
  platform.onDialogShown = [&] {
    DialogEvents& dialog = *platform.dialogEvents;
    if (dialogExit == 0) dialog.lbl_Set_MouseDown(), dialog.lbl_Set_MouseUp();
    if (dialogExit == 1) dialog.lbl_Can_MouseDown(), dialog.lbl_Can_MouseUp();
    if (dialogExit >= 2) dialog.ImgExit_MouseDown(), dialog.ImgExit_MouseUp();
  };
  Main(platform);

  const std::string letter = SwitchLetter(text);
  const bool saver = letter == "S" || text.empty(), dialog = letter == "C";
  const bool preview = letter == "P" && LenientHandle(HandleText(text)) == kPreviewParent;
  const bool written = dialog && dialogExit == 0;
  const bool passwordChanged = letter == "A" && (options & 1) && StrictNumber(HandleText(text));
  const auto called = [&](std::string_view f) { return !platform.CallsStartingWith(f).empty(); };
  Require(called("CreateSaverWindow") == saver && platform.saverClosed == saver, "saver");
  Require(called("CreateDialogWindow") == dialog && platform.dialogClosed == dialog, "dialog");
  Require(called("ShowPreviewWindow") == preview, "preview window");
  Require(platform.ended == !(saver || preview), "EndProcess");
  Require(called("WritePrivateProfileStringA") == written, "settings written");
  Require(called("PwdChangePasswordA") == passwordChanged, "password change");
}

}  // namespace vorn::fuzz
