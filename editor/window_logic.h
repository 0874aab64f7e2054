#ifndef RQ700_EDITOR_WINDOW_LOGIC_H_
#define RQ700_EDITOR_WINDOW_LOGIC_H_

#include <cstdint>
#include <string_view>

#include "editor/item_ids.h"
#include "editor/shell.h"
#include "editor/tap_tempo.h"
#include "protocol/device_state.h"
#include "skin/view_layout.h"
#include "skin/view_state.h"

namespace rq700 {

inline constexpr int kBaseCanvasWidth = layout::kBaseWidth;
inline constexpr int kBaseCanvasHeight = layout::kBaseHeight;

// Key numbers as the window hands them over.
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyCtrl = 17;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyA = 65;
inline constexpr char32_t kCharBackspace = 8;

// Item ids the window itself looks at.
inline constexpr int kItemPresetList = item::kPresetList;

// Import and transfer result codes the boxes know.
inline constexpr int kImportFailCode = 5;
inline constexpr int kTransferRestored = 0;
inline constexpr int kTransferBackedUp = 1;
inline constexpr int kTransferFailed = 2;
inline constexpr int kTransferBackupFailed = 3;
inline constexpr int kTransferBackupNotWritten = 4;

// The modifier key pressed last (Shift and Ctrl exclude each other), as a press sees it.
enum class Modifier { kNone, kShift, kCtrl };

// The pointer handlers of the view (presses, moves, releases, the wheel) and the value
// entry box placement. The window converts positions to base-canvas coordinates first.
class PointerInput {
 public:
  virtual ~PointerInput() = default;
  virtual void Press(int x, int y, Modifier modifier) = 0;
  virtual void Move(int x, int y) = 0;
  virtual void Release(int x, int y) = 0;
  virtual void Wheel(int delta) = 0;
  // Puts the value entry box where the pressed item wants it (after a resize).
  virtual void PlaceValueEntry() = 0;
  // Enter in the value entry box, with the text it holds.
  virtual void EnterValue(std::string_view text) = 0;
};

// A base-canvas position.
struct BasePoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const BasePoint&, const BasePoint&) = default;
};

// Everything the main window decides, free of the window system: the start-up wait, the
// 50 ms watches, the keys and tap tempo, the resize rule, the mouse coordinate mapping and
// the result boxes. The Qt window feeds it events and carries out what it answers.
class WindowLogic {
 public:
  WindowLogic(DeviceState& state, ViewState& ui, Shell& shell, TickClock clock = SteadyTickCount);

  void set_pointer_input(PointerInput* input) { pointer_ = input; }

  // ---- Start-up wait (300 ms timer) ----
  enum class StartupStep { kWaiting, kShowWindow, kFailed };
  // One tick. After kShowWindow or kFailed the window stops the timer first; on kFailed
  // it then tells the user (ReportStartupFailure) and closes.
  StartupStep OnStartupTick();
  void ReportStartupFailure();
  uint32_t startup_ticks() const { return startup_ticks_; }

  // ---- Repaint timer (50 ms) ----
  struct RepaintTick {
    bool close = false;             // system byte 7 has stood at 2 for 50 ticks
    bool import_timed_out = false;  // post an import result 5 to the window
  };
  RepaintTick OnRepaintTick();

  // ---- Messages from the workers ----
  void OnImportResult(int code);
  // True when the program must end (a restore finished).
  bool OnTransferResult(int code);
  // The device is gone: tells the user and marks the end as a disconnection.
  void OnDeviceGone();
  bool disconnected() const { return disconnected_; }

  // ---- Keys ----
  // `ctrl_held`: the Ctrl key is down at this moment.
  void OnKeyDown(int key, bool ctrl_held);
  // Key release and focus loss alike forget the modifiers and the held tap key.
  void OnKeyUp();
  // One tap of the tempo: from the second tap on, the interval sets the tempo.
  void Tap();
  // The value entry box's own keys: Ctrl, Shift, Ctrl+A over the preset list and Escape
  // act as in the window; no other key does anything there (no arrows, no Delete).
  void OnValueEntryKeyDown(int key, bool ctrl_held);
  // A character typed into the box; true when the box takes it into its text: digits,
  // "+", "-", "." and Backspace. A space taps the tempo; anything else is dropped.
  bool OnValueEntryChar(char32_t ch);
  // Enter in the box, with the text it holds.
  void OnValueEntryEnter(std::string_view text);
  bool shift_flag() const { return shift_; }
  bool ctrl_flag() const { return ctrl_; }
  bool tap_key_held() const { return ui_.tap_key_held != 0; }

  // ---- Size and mouse ----
  struct ResizeResult {
    bool make_base_size = false;  // first size: make the client area the base canvas
    int value_entry_style = 1;    // text style of the value entry box's font
  };
  ResizeResult OnResize(int client_width, int client_height);
  float horizontal_scale() const { return horizontal_scale_; }
  float vertical_scale() const { return vertical_scale_; }
  // Client pixels (negative while the captured mouse is left of or above the window, and
  // with fractions where the desktop scales) to base-canvas pixels, truncated toward zero.
  BasePoint ToBase(double client_x, double client_y) const;
  // The size the back buffer is stretched to.
  int PresentWidth() const;
  int PresentHeight() const;

  // A left press: ignored (false) while the wait cursor is up; else the press handler.
  bool OnLeftButtonDown(double client_x, double client_y);
  void OnLeftButtonUp(double client_x, double client_y);
  void OnMouseMove(double client_x, double client_y);
  void OnWheel(int delta);

  // The device opened or closed a page itself: its page replaces any popup of ours and the
  // value entry box goes.
  void OnDevicePageChange();

 private:
  void MoveListCursor(int step);

  DeviceState& state_;
  ViewState& ui_;
  Shell& shell_;
  TickClock clock_;
  PointerInput* pointer_ = nullptr;

  uint32_t startup_ticks_ = 0;
  int32_t close_countdown_ = 0;
  uint32_t import_watchdog_ = 0;
  bool disconnected_ = false;

  bool shift_ = false;
  bool ctrl_ = false;

  float horizontal_scale_ = 1.0f;
  float vertical_scale_ = 1.0f;
  int last_client_width_ = 0;
  int last_client_height_ = 0;
  bool sized_ = false;
};

// The value entry box's text style for a vertical scale.
int ValueEntryStyleForScale(float vertical_scale);

}  // namespace rq700

#endif  // RQ700_EDITOR_WINDOW_LOGIC_H_
