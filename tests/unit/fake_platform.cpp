#include "fake_platform.h"

namespace vorn::testing {

void Put(std::ostream& out, SurfaceId surface) {
  static constexpr const char* kNames[] = {"Display", "Buffer",    "Pic_Vorn",  "Vorn_P",
                                           "Pic_b",   "P.Display", "P.Pic_Vorn"};
  out << kNames[static_cast<int>(surface)];
}

void Put(std::ostream& out, DialogControl control) {
  static constexpr const char* kNames[] = {
      "Image1",    "Label9",  "ImgExit", "Pic_a",     "Display", "Pic_b",  "lbl(1)",    "HS(1)",
      "lbl_HS(1)", "lbl(2)",  "HS(2)",   "lbl_HS(2)", "lbl(3)",  "HS(3)",  "lbl_HS(3)", "lbl(5)",
      "lbl(9)",    "Img_Set", "lbl_Set", "Img_Can",   "lbl_Can", "lbl_URL"};
  out << kNames[static_cast<int>(control)];
}

void Put(std::ostream& out, DialogPicture picture) {
  static constexpr const char* kNames[] = {"Img_Off", "Img_On", "imgImages(0)", "imgImages(1)"};
  out << kNames[static_cast<int>(picture)];
}

void Put(std::ostream& out, const PixelRect& r) {
  out << '(' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ')';
}

// The dialog's place in pixels at 15 twips a pixel until it is closed; other windows as scripted.
FakePlatform::I32 FakePlatform::GetWindowRect(W window, PixelRect& rect) {
  Record("GetWindowRect", window);
  const TwipsRect& t = dialogTwips;
  if (window == kDialogWindow && !dialogClosed) {
    rect = {I32(t.left / 15), I32(t.top / 15), I32((t.left + t.width) / 15),
            I32((t.top + t.height) / 15)};
    return 1;
  }
  const auto it = windowRects.find(window);
  if (it != windowRects.end()) rect = it->second;
  return it != windowRects.end();
}

// The dialog's surfaces at 96 dpi; the sprite sheet's pixels number their 32 x 64 cells.
WindowHandle FakePlatform::CreateDialogWindow(DialogEvents& events) {
  dialogEvents = &events;
  surfaces[SurfaceId::DialogWindow] = Surface(396, 230);
  surfaces[SurfaceId::DialogPicB] = Surface(233, 93);
  surfaces[SurfaceId::DialogDisplay] = Surface(32, 64);
  Surface& sheet = surfaces[SurfaceId::DialogSprites] = Surface(256, 256);
  for (std::int32_t i = 0; i < 256 * 256; ++i)
    sheet.Set(i % 256, i / 256, i / 16384 * 8 + i % 256 / 32);
  return Answer(kDialogWindow, "CreateDialogWindow");
}

// Recorded as "PlaceWindowTwips(window, width 5940)", the values given in order.
void FakePlatform::PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) {
  std::ostringstream out;
  out << "PlaceWindowTwips(" << window;
  for (const auto& [name, value, field] :
       {std::tuple{"left", place.left, &dialogTwips.left},
        std::tuple{"top", place.top, &dialogTwips.top},
        std::tuple{"width", place.width, &dialogTwips.width},
        std::tuple{"height", place.height, &dialogTwips.height}}) {
    if (value) out << ", " << name << ' ' << (*field = *value);
  }
  calls.push_back(out.str() + ")");
}

// Horizontal lines only, the end left out; BGR turned into the surfaces' RGB.
void FakePlatform::DrawLine(S s, I32 x1, I32 y1, I32 x2, I32 y2, U32 colourBgr) {
  if (recordDrawing) Record("DrawLine", s, x1, y1, x2, y2, colourBgr);
  const Pixel rgb = (colourBgr & 0xFF) << 16 | (colourBgr & 0xFF00) | (colourBgr >> 16 & 0xFF);
  if (y1 == y2) surfaces[s].FillInclusive(x1, y1, x2 - 1, y2, rgb);
}

}  // namespace vorn::testing
