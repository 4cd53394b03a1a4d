#include "fake_platform.h"

#include "core/flame.h"
#include "core/particles.h"

namespace vorn::testing {

void Put(std::ostream& out, SurfaceId surface) {
  static constexpr const char* kNames[] = {"Vorn_P", "Pic_b", "P.Display", "P.Pic_Vorn"};
  out << kNames[static_cast<int>(surface)];
}

// Of a failing present only every second piece reaches the screen (none of a whole frame).
bool FakePlatform::PresentFrame(const std::vector<Rect>& pieces) {
  Record(__func__, static_cast<int>(pieces.size()));
  const bool fails = presentsFailing > 0 && presentsFailing-- > 0;
  for (std::size_t i = fails ? 1 : 0; i < pieces.size(); i += fails ? 2 : 1) {
    const Rect& r = pieces[i];
    Blit(shown, r.x, r.y, r.width, r.height, frameBuffer, r.x, r.y, kRopSrcCopy);
  }
  if (fails) calls.back() += " -> 0";
  return !fails;
}

// The art tool renders the embedded sheet with the same function.
Surface FakePlatform::EmbeddedSpriteSheet() {
  static const Surface sheet = RenderSpriteSheet(kBaseDpi);
  return sheet;
}

void RecordingFrame::LoadSheet(std::int32_t dpi) {
  platform_.Record("LoadSheet", dpi);
  SaverFrame::LoadSheet(dpi);
}

void RecordingFrame::Clear() {
  platform_.Drawn("FillRect", "Buffer", 0, 0, Width(), Height(), 0);
  cells.clear();
  SaverFrame::Clear();
}

void RecordingFrame::OrCell(std::int32_t dpi, const BlitArea& c) {
  const std::string sheet = dpi == kBaseDpi ? "Pic_Vorn" : "Pic_Vorn@" + std::to_string(dpi);
  platform_.Drawn("BitBlt", "Buffer", c.x, c.y, c.w, c.h, sheet, c.sx, c.sy, Hex{kRopSrcPaint});
  cells.emplace_back(dpi, c);
  SaverFrame::OrCell(dpi, c);
}

void RecordingFrame::Present() {
  platform_.Drawn("BitBlt", "Display", 0, 0, Width(), Height(), "Buffer", 0, 0, Hex{kRopSrcCopy});
  SaverFrame::Present();
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

// The dialog's place in pixels at twipsPerPixel until it is closed; other windows as scripted.
FakePlatform::I32 FakePlatform::GetWindowRect(W window, PixelRect& rect) {
  Record("GetWindowRect", window);
  const TwipsRect& t = dialogTwips;
  const float f = twipsPerPixel;
  if (window == kDialogWindow && !dialogClosed) {
    rect = {I32(t.left / f), I32(t.top / f), I32((t.left + t.width) / f),
            I32((t.top + t.height) / f)};
    return 1;
  }
  const auto it = windowRects.find(window);
  if (it != windowRects.end()) rect = it->second;
  return it != windowRects.end();
}

// The dialog's window and its panel at 96 dpi, the sizes its shading reads.
WindowHandle FakePlatform::CreateDialogWindow(DialogEvents& events) {
  dialogEvents = &events;
  surfaceSizes = {{SurfaceId::DialogWindow, {396, 230}}, {SurfaceId::DialogPicB, {233, 93}}};
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

}  // namespace vorn::testing
