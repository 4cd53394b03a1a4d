#include "preview_window/preview.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

TEST(PreviewWindow, BecomesAChildThatFillsTheParent) {
  FakePlatform platform;
  platform.windowRects[4242] = {100, 200, 252, 312};
  platform.previewStyle = 0x16CF0000;
  ShowVornR(platform, 4242);
  EXPECT_THAT(platform.calls,
              ElementsAre("GetWindowRect(4242)", "CreatePreviewWindow",
                          "GetWindowLongA(32382, -16)",
                          "SetWindowLongA(32382, -16, 0x56CF0000)",  // WS_CHILD added, nothing else
                          "SetParent(32382, 4242)", "MoveWindow(32382, 0, 0, 152, 112)",
                          "MovePreviewImage(0, 0, 152, 112)", "ShowPreviewWindow(32382)"));
  EXPECT_FALSE(platform.ended);
}

TEST(PreviewWindow, AStyleThatIsAlreadyAChildKeepsItsBits) {
  FakePlatform platform;
  platform.windowRects[7] = {0, 0, 300, 200};
  platform.previewStyle = 0x40000000 | 0x00800000;
  ShowVornR(platform, 7);
  EXPECT_THAT(platform.CallsStartingWith("SetWindowLongA"),
              ElementsAre("SetWindowLongA(32382, -16, 0x40800000)"));
}

TEST(PreviewWindow, AHandleThatNamesNoWindowEndsAtOnce) {
  for (WindowHandle parent : {WindowHandle{0}, WindowHandle{123456}}) {
    FakePlatform platform;
    ShowVornR(platform, parent);
    EXPECT_THAT(platform.calls, ElementsAre("GetWindowRect(" + std::to_string(parent) + ")",
                                            "EndProcess"));
  }
}

}  // namespace
}  // namespace vorn
