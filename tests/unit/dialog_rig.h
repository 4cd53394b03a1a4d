// A settings dialog model wired to a rig that logs what the model does, for the tests of the
// model and of what it tells a screen reader.
#pragma once

#include "settings_dialog/dialog_model.h"

namespace vorn::test {

using Log = std::vector<std::string>;

// Logs the handlers the model runs and what it asks of its window ("+" the mouse taken,
// "-" given back). Every text is 100 x 12 pixels; the close box 15 x 15, pressed 16 x 15.
struct Rig final : DialogEvents, DialogView {
  Log log;
  DialogModel model{*this, *this, 96};
  void Form_Resize() override { log.push_back("resize"); }
  void Form_Unload() override { log.push_back("unload"); }
  void Timer1_Timer() override { log.push_back("tick"), model.Tick(); }  // no tick within a tick
  void HS_Change(std::int16_t bar) override { log.push_back("HS " + std::to_string(bar)); }
  void lbl_Set_MouseDown() override { log.push_back("Set down"); }
  void lbl_Set_MouseUp() override { log.push_back("Set up"); }
  void lbl_Can_MouseDown() override { log.push_back("Can down"); }
  void lbl_Can_MouseUp() override { log.push_back("Can up"); }
  void ImgExit_MouseDown() override { log.push_back("Exit down"); }
  void ImgExit_MouseUp() override { log.push_back("Exit up"); }
  void Image1_MouseDown(std::int16_t b) override { log.push_back("Title " + std::to_string(b)); }
  void Image1_MouseMove() override { log.push_back("Title move"); }
  void Image1_MouseUp() override { log.push_back("Title up"); }
  void lbl_URL_Click() override { log.push_back("Link"); }
  std::optional<ScreenSize> MeasureText(std::string_view) override { return ScreenSize{100, 12}; }
  ScreenSize ImageSize(PaintImage image) override {
    return {image == PaintImage::ClosePressed ? 16 : 15, 15};
  }
  void Repaint(const PixelRect& area) override { repaints.push_back(area); }
  std::vector<PixelRect> repaints;
  void ShowThumb(std::int16_t bar, std::int32_t at) override {
    log.push_back("thumb " + std::to_string(bar) + " " + std::to_string(at));
  }
  void Capture(bool take) override { log.push_back(take ? "+" : "-"); }
};

}  // namespace vorn::test
