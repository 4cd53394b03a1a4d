#include "fake_platform.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <tuple>

namespace vorn::testing {

const char* SurfaceName(SurfaceId surface) {
  static constexpr const char* kNames[] = {"Display", "Buffer",    "Pic_Vorn",  "Vorn_P",
                                           "Pic_b",   "P.Display", "P.Pic_Vorn"};
  return kNames[static_cast<int>(surface)];
}

std::int32_t FakePlatform::GetWindowRect(WindowHandle window, PixelRect& rect) {
  calls.push_back(Call("GetWindowRect", window));
  if (window == kDialogWindow && !dialogClosed) {
    rect = {static_cast<std::int32_t>(dialogTwips.left / 15),
            static_cast<std::int32_t>(dialogTwips.top / 15),
            static_cast<std::int32_t>((dialogTwips.left + dialogTwips.width) / 15),
            static_cast<std::int32_t>((dialogTwips.top + dialogTwips.height) / 15)};
    return 1;
  }
  const auto it = windowRects.find(window);
  if (it == windowRects.end()) return 0;
  rect = it->second;
  return 1;
}

// --- The settings dialog ----------------------------------------------------

const char* ControlName(DialogControl control) {
  static constexpr const char* kNames[] = {
      "Image1", "Label9",  "ImgExit", "Pic_a",   "Display", "Pic_b",  "lbl(1)",  "HS(1)",
      "lbl_HS(1)", "lbl(2)", "HS(2)", "lbl_HS(2)", "lbl(3)", "HS(3)", "lbl_HS(3)", "lbl(5)",
      "lbl(9)", "Img_Set", "lbl_Set", "Img_Can", "lbl_Can", "lbl_URL"};
  return kNames[static_cast<int>(control)];
}

namespace {

const char* PictureName(DialogPicture picture) {
  switch (picture) {
    case DialogPicture::ButtonReleased: return "Img_Off";
    case DialogPicture::ButtonPressed: return "Img_On";
    case DialogPicture::CloseReleased: return "imgImages(0)";
    case DialogPicture::ClosePressed: return "imgImages(1)";
  }
  return "?";
}

std::string RectText(const PixelRect& r) {
  std::ostringstream out;
  out << '(' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ')';
  return out.str();
}

}  // namespace

std::int32_t FakePlatform::GetCursorPos(PixelPoint& point) {
  calls.push_back("GetCursorPos");
  if (cursorResult != 0) point = cursor;
  return cursorResult;
}

std::int32_t FakePlatform::DrawAnimatedRects(WindowHandle window, std::int32_t animation,
                                             const PixelRect& from, const PixelRect& to) {
  calls.push_back(Call("DrawAnimatedRects", window, animation, RectText(from), RectText(to)));
  return 1;
}

void FakePlatform::ShellExecuteA(WindowHandle window, std::string_view operation,
                                 std::string_view file, std::string_view parameters,
                                 std::string_view directory, std::int32_t showCommand) {
  calls.push_back(Call("ShellExecuteA", window, Quote(operation), Quote(file), Quote(parameters),
                       Quote(directory), showCommand));
}

WindowHandle FakePlatform::CreateDialogWindow(DialogEvents& events) {
  calls.push_back("CreateDialogWindow");
  dialogEvents = &events;
  surfaces[SurfaceId::DialogWindow] = Surface(396, 230);
  surfaces[SurfaceId::DialogPicB] = Surface(233, 93);
  surfaces[SurfaceId::DialogDisplay] = Surface(32, 64);
  Surface sheet(256, 256);
  for (std::int32_t y = 0; y < 256; ++y) {
    for (std::int32_t x = 0; x < 256; ++x) sheet.Set(x, y, static_cast<Pixel>(y / 64 * 8 + x / 32));
  }
  surfaces[SurfaceId::DialogSprites] = sheet;
  return kDialogWindow;
}

TwipsRect FakePlatform::GetScreenTwips() {
  return {0, 0, static_cast<float>(screen.width * 15), static_cast<float>(screen.height * 15)};
}

TwipsRect FakePlatform::GetWindowTwips(WindowHandle) { return dialogTwips; }

// Recorded as "PlaceWindowTwips(window, width 5940)", the values given in order.
void FakePlatform::PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) {
  std::ostringstream out;
  out << "PlaceWindowTwips(" << window;
  for (const auto& [name, value, field] :
       {std::tuple{"left", place.left, &dialogTwips.left},
        std::tuple{"top", place.top, &dialogTwips.top},
        std::tuple{"width", place.width, &dialogTwips.width},
        std::tuple{"height", place.height, &dialogTwips.height}}) {
    if (!value) continue;
    out << ", " << name << ' ' << *value;
    *field = *value;
  }
  calls.push_back(out.str() + ")");
}

ScreenSize FakePlatform::GetSurfaceSize(SurfaceId surface) {
  const Surface& s = surfaces[surface];
  return {s.Width(), s.Height()};
}

void FakePlatform::DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                            std::int32_t y2, std::uint32_t colourBgr) {
  if (recordDrawing) {
    calls.push_back(Call("DrawLine", SurfaceName(surface), x1, y1, x2, y2, colourBgr));
  }
  const Pixel rgb = ((colourBgr & 0xFF) << 16) | (colourBgr & 0xFF00) | ((colourBgr >> 16) & 0xFF);
  if (y1 == y2) surfaces[surface].FillInclusive(x1, y1, x2 - 1, y2, rgb);
}

void FakePlatform::RefreshSurface(SurfaceId surface) {
  if (recordDrawing) calls.push_back(Call("RefreshSurface", SurfaceName(surface)));
}

void FakePlatform::SetLabelCaption(DialogControl label, std::string_view text) {
  calls.push_back(Call("SetLabelCaption", ControlName(label), Quote(text)));
  captions[label] = std::string(text);
}

void FakePlatform::SetImagePicture(DialogControl image, DialogPicture picture) {
  calls.push_back(Call("SetImagePicture", ControlName(image), PictureName(picture)));
}

void FakePlatform::SetHandCursor(DialogControl control) {
  calls.push_back(Call("SetHandCursor", ControlName(control)));
}

std::int16_t FakePlatform::GetScrollValue(std::int16_t index) {
  return scrollValues[static_cast<std::size_t>(index - 1)];
}

void FakePlatform::SetScrollValue(std::int16_t index, std::int16_t value) {
  calls.push_back(Call("SetScrollValue", index, value));
  scrollValues[static_cast<std::size_t>(index - 1)] = value;
}

void FakePlatform::SetDialogTimer(bool enabled, std::uint32_t intervalMs) {
  calls.push_back(Call("SetDialogTimer", enabled ? "on" : "off", intervalMs));
  dialogTimerEnabled = enabled;
}

void FakePlatform::ShowDialogModal(WindowHandle window) {
  calls.push_back(Call("ShowDialogModal", window));
  if (onDialogShown) onDialogShown();
}

void FakePlatform::CloseDialog(WindowHandle window) {
  calls.push_back(Call("CloseDialog", window));
  if (dialogClosed) return;
  if (dialogEvents != nullptr) dialogEvents->Form_Unload();
  dialogClosed = true;
}

}  // namespace vorn::testing
