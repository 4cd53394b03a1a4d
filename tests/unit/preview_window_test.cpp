#include <gmock/gmock.h>

#include "fake_platform.h"
#include "preview_window/preview.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

// A size taken from the rectangle's corners instead of its extent, the child
// style replacing or toggling the window's bits, or a step out of order.
TEST(PreviewWindow, BecomesAChildThatFillsTheParent) {
  for (const auto& [style, childStyle] :
       {std::pair{0x16CF0000, "0x56CF0000"}, {0x40800000, "0x40800000"}}) {
    FakePlatform platform;
    platform.windowRects[4242] = {100, 200, 252, 312};
    platform.previewStyle = style;
    ShowVornR(platform, 4242);
    EXPECT_THAT(
        platform.calls,
        ElementsAre("GetWindowRect(4242)", "CreatePreviewWindow", "GetWindowLongA(32382, -16)",
                    "SetWindowLongA(32382, -16, " + std::string(childStyle) + ")",
                    "SetParent(32382, 4242)", "MoveWindow(32382, 0, 0, 152, 112)",
                    "MovePreviewImage(0, 0, 152, 112)", "ShowPreviewWindow(32382)"));
  }
}

// A handle that names no window leaving an invisible window behind for ever.
TEST(PreviewWindow, EndsAtOnceWithoutAParent) {
  FakePlatform platform;
  ShowVornR(platform, 0);
  EXPECT_THAT(platform.calls, ElementsAre("GetWindowRect(0)", "EndProcess"));
}

}  // namespace
}  // namespace vorn
