#include "updater/updater_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updater/update_session.h"

namespace rq700 {
namespace {

using Calls = std::vector<std::string>;

class RecordingCanvas : public Canvas {
 public:
  void DrawImage(int image, int x, int y) override {
    calls.push_back("image " + std::to_string(image) + " " + std::to_string(x) + "," +
                    std::to_string(y));
  }
  void FillRect(int, int, int, int, Rgb) override { calls.push_back("fill"); }
  void FrameRect(int, int, int, int, int) override { calls.push_back("frame"); }
  void DrawText(int style, int x, int y, std::string_view text) override {
    calls.push_back("text " + std::to_string(style) + " " + std::to_string(x) + "," +
                    std::to_string(y) + " " + std::string(text));
  }
  void DrawNumber(int, int, int, int) override { calls.push_back("number"); }
  void DrawDbLevel(int, int, int, int) override { calls.push_back("db"); }
  void DrawTenths(int, int, int, int, bool) override { calls.push_back("tenths"); }

  Calls calls;
};

Calls Paint(const UpdaterView& view) {
  RecordingCanvas canvas;
  view.Paint(canvas);
  return canvas.calls;
}

TEST(UpdaterViewTest, ReadyUntilTheUpdateButtonIsClicked) {
  UpdaterView view;
  EXPECT_EQ(Paint(view), (Calls{"image 0 0,0", "text 0 200,115 Ready To Update"}));
  // Clicks outside both buttons do nothing; the button's edges are inside.
  EXPECT_EQ(view.Press(159, 160), UpdaterView::Action::kNone);
  EXPECT_EQ(view.Press(200, 180), UpdaterView::Action::kNone);
  EXPECT_FALSE(view.started());
  EXPECT_EQ(view.Press(241, 179), UpdaterView::Action::kStartUpdate);
  EXPECT_TRUE(view.started());
  EXPECT_FALSE(view.close_allowed());
  // A second click while it runs starts nothing, and the close button is inert.
  EXPECT_EQ(view.Press(160, 153), UpdaterView::Action::kNone);
  EXPECT_EQ(view.Press(385, 2), UpdaterView::Action::kNone);
  EXPECT_EQ(Paint(view), (Calls{"image 0 0,0", "image 1 160,153", "text 0 200,115 0 %"}));
}

TEST(UpdaterViewTest, CloseHighlightOnlyWhileHoveringAndAllowed) {
  UpdaterView view;
  view.MouseMove(396, 15);
  EXPECT_EQ(view.hover(), UpdaterView::Hover::kCloseButton);
  EXPECT_EQ(Paint(view)[1], "image 3 385,2");
  view.MouseMove(397, 15);
  EXPECT_EQ(view.hover(), UpdaterView::Hover::kNowhere);
  EXPECT_EQ(Paint(view).size(), 2u);
  view.MouseMove(200, 160);
  EXPECT_EQ(view.hover(), UpdaterView::Hover::kUpdateButton);

  view.Press(200, 160);
  view.MouseMove(390, 8);
  EXPECT_EQ(Paint(view), (Calls{"image 0 0,0", "image 1 160,153", "text 0 200,115 0 %"}));
  // Before the update, the close button closes.
  UpdaterView fresh;
  EXPECT_EQ(fresh.Press(390, 8), UpdaterView::Action::kClose);
}

TEST(UpdaterViewTest, ProgressPostsMoveBarAndPercent) {
  UpdaterView view;
  view.Press(200, 160);
  EXPECT_EQ(view.ApplyStatus(kStatusProgress, 42), 42);
  EXPECT_EQ(Paint(view).back(), "text 0 200,115 42 %");
  // Out-of-range progress changes nothing.
  EXPECT_EQ(view.ApplyStatus(kStatusProgress, 101), -1);
  EXPECT_EQ(view.ApplyStatus(kStatusProgress, -1), -1);
  EXPECT_EQ(view.percent(), 42);
  EXPECT_EQ(view.result(), UpdaterView::Result::kRunning);
  // At 100 the done button is drawn one pixel lower and to the right.
  EXPECT_EQ(view.ApplyStatus(kStatusProgress, 100), 100);
  EXPECT_EQ(Paint(view), (Calls{"image 0 0,0", "image 2 161,154", "text 0 200,115 100 %"}));
}

TEST(UpdaterViewTest, SuccessShowsItsTextAndEitherButtonCloses) {
  UpdaterView view;
  view.Press(200, 160);
  view.ApplyStatus(kStatusProgress, 100);
  EXPECT_EQ(view.ApplyStatus(kStatusSuccess, 0), -1);
  EXPECT_EQ(view.result(), UpdaterView::Result::kSucceeded);
  EXPECT_EQ(Paint(view).back(), "text 0 200,115 Update Successful");
  EXPECT_EQ(view.Press(200, 160), UpdaterView::Action::kClose);
  EXPECT_EQ(view.Press(390, 8), UpdaterView::Action::kClose);
}

TEST(UpdaterViewTest, EveryFailureResetsTheBarAndAllowsClosing) {
  const std::vector<std::pair<int, std::string>> failures = {
      {1, "update error [ 0 ]"},
      {2, "update error [ 1 ]"},
      {3, "update error [ 2 ]"},
      {4, "Read the serial number error"},
      {5, "apply for update firware error"},
      {6, "Open Firware fail!"},
      {7, "Open device fail"},
      {8, "Send data to device fail"},
      {9, "MCU returned timeout"},
  };
  for (const auto& [code, text] : failures) {
    UpdaterView view;
    view.Press(200, 160);
    view.ApplyStatus(kStatusProgress, 37);
    EXPECT_EQ(view.ApplyStatus(code, 0), 0) << code;
    EXPECT_EQ(view.result(), UpdaterView::Result::kFailed) << code;
    EXPECT_EQ(Paint(view).back(), "text 0 200,115 " + text) << code;
    // The update button does nothing more; the close button ends the program.
    EXPECT_EQ(view.Press(200, 160), UpdaterView::Action::kNone) << code;
    EXPECT_EQ(view.Press(390, 8), UpdaterView::Action::kClose) << code;
  }
  // An unknown code fails the update but keeps the text it had.
  UpdaterView view;
  view.Press(200, 160);
  view.ApplyStatus(kStatusTimeout, 0);
  EXPECT_EQ(view.ApplyStatus(77, 0), 0);
  EXPECT_EQ(view.status_text(), "MCU returned timeout");
}

}  // namespace
}  // namespace rq700
