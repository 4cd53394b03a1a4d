// The command line the system hands the program: the readings of its text
// hold their documented shapes for any bytes, and Main, run against the
// recording fake platform, does what the switch asks and nothing else: the
// saver and the dialog close again, preview needs a window that exists, and
// every other text ends the program without a window.
//
// Input: one byte of options (bit 0: the 95/98 family; bits 1-2: how the
// dialog is left; bits 3-4: the first password answer), then the argument text.
#include <cstdint>
#include <limits>
#include <string>

#include "core/command_line.h"
#include "core/settings_value.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "startup/main.h"

namespace vorn::fuzz {
namespace {

using testing::FakePlatform;

constexpr WindowHandle kPreviewParent = 4242;  // the one window that exists
constexpr PixelRect kPreviewParentRect{10, 20, 162, 132};
constexpr ScreenSize kSmallScreen{160, 120};
constexpr int kMostYieldsBeforeAnswerIsRight = 2;

void CheckReadings(std::string_view text) {
  const std::string letter = SwitchLetter(text);
  if (text.size() < 2) {
    Require(letter.empty(), [&] { return "a letter from " + Shown(text); });
  } else {
    const char c = text[1];
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    Require(letter == std::string(1, upper),
            [&] { return "letter of " + Shown(text) + " is " + Shown(letter); });
  }
  const std::string_view handleText = HandleText(text);
  Require(text.size() <= 3 ? handleText.empty() : handleText == text.substr(3),
          [&] { return "handle text of " + Shown(text); });
  const std::int32_t handle = LenientHandle(handleText);
  Require(handle >= 0, [&] { return "a negative handle from " + Shown(handleText); });
  std::size_t pos = handleText.find_first_not_of(" \t");
  std::int64_t reference = 0;
  for (; pos < handleText.size() && handleText[pos] >= '0' && handleText[pos] <= '9'; ++pos) {
    reference = reference * 10 + (handleText[pos] - '0');
    if (reference > std::numeric_limits<std::int32_t>::max()) break;
  }
  if (reference > std::numeric_limits<std::int32_t>::max()) reference = 0;
  Require(handle == reference,
          [&] { return "handle of " + Shown(handleText) + " is " + std::to_string(handle); });
}

struct Options {
  bool family9x = false;
  int dialogExit = 0;  // 0 Set, 1 Cancel, 2 and 3 the close box
  std::optional<std::int32_t> firstPasswordAnswer;
};

Options ReadOptions(std::uint8_t byte) {
  constexpr std::optional<std::int32_t> kAnswers[] = {0, 1, std::nullopt, 0};
  return {(byte & 1) != 0, (byte >> 1) & 3, kAnswers[(byte >> 3) & 3]};
}

void PlayTheUser(FakePlatform& platform, const Options& options) {
  platform.passwordAnswer = options.firstPasswordAnswer;
  platform.onDoEvents = [&platform](int call) {
    if (platform.saverEvents == nullptr || platform.saverClosed) return;
    if (call >= kMostYieldsBeforeAnswerIsRight) platform.passwordAnswer = 1;
    platform.saverEvents->Form_KeyDown();
  };
  platform.onDialogShown = [&platform, exit = options.dialogExit] {
    DialogEvents& dialog = *platform.dialogEvents;
    if (exit == 0) {
      dialog.lbl_Set_MouseDown();
      dialog.lbl_Set_MouseUp();
    } else if (exit == 1) {
      dialog.lbl_Can_MouseDown();
      dialog.lbl_Can_MouseUp();
    } else {
      dialog.ImgExit_MouseDown();
      dialog.ImgExit_MouseUp();
    }
  };
}

bool Called(const FakePlatform& platform, const std::string& prefix) {
  return !platform.CallsStartingWith(prefix).empty();
}

void CheckDispatch(std::string_view text, const Options& options) {
  FakePlatform platform;
  platform.argumentText = std::string(text);
  platform.platformId = options.family9x ? 1 : kVerPlatformWin32Nt;
  platform.screen = kSmallScreen;
  platform.windowRects[kPreviewParent] = kPreviewParentRect;
  PlayTheUser(platform, options);
  Main(platform);

  const std::string letter = SwitchLetter(text);
  const bool saver = letter == "S" || text.empty();
  const bool preview = letter == "P" && LenientHandle(HandleText(text)) == kPreviewParent;
  const std::string what = "Main with " + Shown(text);
  Require(Called(platform, "CreateSaverWindow") == saver, [&] { return what + ": saver window"; });
  Require(!saver || platform.saverClosed, [&] { return what + ": the saver did not close"; });
  Require(Called(platform, "CreateDialogWindow") == (letter == "C"),
          [&] { return what + ": dialog"; });
  Require(letter != "C" || platform.dialogClosed,
          [&] { return what + ": the dialog did not close"; });
  Require(Called(platform, "ShowPreviewWindow") == preview,
          [&] { return what + ": preview window"; });
  Require(platform.ended == !(saver || preview), [&] { return what + ": EndProcess"; });
  const bool setPressed = letter == "C" && options.dialogExit == 0;
  Require(Called(platform, "WritePrivateProfileStringA") == setPressed,
          [&] { return what + ": settings written"; });
  const bool changePassword = letter == "A" && options.family9x && StrictNumber(HandleText(text));
  Require(Called(platform, "PwdChangePasswordA") == changePassword,
          [&] { return what + ": password change"; });
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  vorn::fuzz::CheckReadings(text);
  vorn::fuzz::CheckDispatch(text, vorn::fuzz::ReadOptions(data[0]));
  return 0;
}
