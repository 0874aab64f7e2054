#ifndef RQ700_UPDATER_UPDATER_VIEW_H_
#define RQ700_UPDATER_UPDATER_VIEW_H_

#include <cstdint>
#include <string>

#include "skin/canvas.h"

namespace rq700 {

// Geometry of the updater window, in client pixels.
inline constexpr int kUpdaterWidth = 401;
inline constexpr int kUpdaterHeight = 201;
inline constexpr int kUpdaterLeft = 600;
inline constexpr int kUpdaterTop = 350;
inline constexpr int kProgressLeft = 32;
inline constexpr int kProgressTop = 64;
inline constexpr int kProgressWidth = 337;
inline constexpr int kProgressHeight = 40;
inline constexpr int kTextAnchorX = 200;
inline constexpr int kTextAnchorY = 115;

// The updater's images by number: 0.jpg background, 1.png update button, 2.png the
// button once done, 3.png the close button's highlight.
inline constexpr int kUpdaterImageCount = 4;
inline constexpr int kBackgroundImage = 0;
inline constexpr int kButtonImage = 1;
inline constexpr int kButtonDoneImage = 2;
inline constexpr int kCloseHighlightImage = 3;
// The one text style of the updater: Arial, 24 high, 12 wide, weight 800, black,
// centred on the anchor with the anchor at the top.
inline constexpr int kUpdaterTextStyle = 0;

inline constexpr char kReadyText[] = "Ready To Update";
inline constexpr char kUpdaterTitle[] = "Zorva Studio For RQ700";

// The window's text for status `code`, or nullptr for codes that set none.
const char* UpdaterStatusText(int code);

// The updater window's state and rules, free of any window system. Runs on the window's
// thread; the update worker reaches it only through posted status codes.
class UpdaterView {
 public:
  enum class Hover : uint8_t { kNowhere = 0, kUpdateButton = 1, kCloseButton = 2 };
  enum class Result : uint8_t { kRunning = 0, kSucceeded = 1, kFailed = 2 };
  enum class Action { kNone, kStartUpdate, kClose };

  static bool InUpdateButton(int x, int y);
  static bool InCloseButton(int x, int y);

  // The pointer moved to (x, y).
  void MouseMove(int x, int y);
  // The left button went down at (x, y): what the window must do. Starting the update
  // marks it started and forbids closing until it ends.
  Action Press(int x, int y);
  // A status post from the update worker. Returns the progress bar position to set, or
  // -1 to leave the bar alone.
  int ApplyStatus(int code, int value);
  // Whether the window may be closed now (by its button or by the desktop).
  bool close_allowed() const { return close_allowed_; }

  // Composes one frame.
  void Paint(Canvas& canvas) const;

  Hover hover() const { return hover_; }
  bool started() const { return started_; }
  Result result() const { return result_; }
  int percent() const { return percent_; }
  const std::string& status_text() const { return status_text_; }

 private:
  Hover hover_ = Hover::kNowhere;
  bool started_ = false;
  bool close_allowed_ = true;
  Result result_ = Result::kRunning;
  uint8_t percent_ = 0;
  std::string status_text_;
};

}  // namespace rq700

#endif  // RQ700_UPDATER_UPDATER_VIEW_H_
