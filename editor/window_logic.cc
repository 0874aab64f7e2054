#include "editor/window_logic.h"

#include <algorithm>

#include "editor/messages.h"

namespace rq700 {
namespace {

constexpr uint32_t kReRequestTick = 80;
constexpr uint32_t kGiveUpTick = 200;
constexpr int32_t kCloseCountdownTicks = 50;
constexpr uint32_t kImportWatchdogTicks = 299;
constexpr int kLastPreset = kPresetCount - 1;

}  // namespace

int ValueEntryStyleForScale(float vertical_scale) {
  if (vertical_scale < 0.85f) return 8;
  if (vertical_scale <= 1.1f) return 1;
  return 9;
}

WindowLogic::WindowLogic(DeviceState& state, ViewState& ui, Shell& shell, TickClock clock)
    : state_(state), ui_(ui), shell_(shell), clock_(std::move(clock)) {}

WindowLogic::StartupStep WindowLogic::OnStartupTick() {
  ++startup_ticks_;
  const bool loaded = state_.load_complete.load(std::memory_order_acquire) != 0;
  if (!loaded && startup_ticks_ == kReRequestTick) {
    state_.re_request.store(1, std::memory_order_relaxed);
  }
  if (!loaded && startup_ticks_ < kGiveUpTick) return StartupStep::kWaiting;
  return startup_ticks_ == kGiveUpTick ? StartupStep::kFailed : StartupStep::kShowWindow;
}

void WindowLogic::ReportStartupFailure() {
  shell_.ShowMessage(MessageOwner::kWaitingDialog, text::kUpdataPresetFail, text::kErrorUpper,
                     MessageIcon::kNone);
}

WindowLogic::RepaintTick WindowLogic::OnRepaintTick() {
  RepaintTick tick;
  if (state_.system[7].Get() == 2) {
    ++close_countdown_;
    tick.close = close_countdown_ == kCloseCountdownTicks;
  }
  if (state_.in_flight.load(std::memory_order_relaxed) == 0) {
    import_watchdog_ = 0;
  } else if (++import_watchdog_ > kImportWatchdogTicks) {
    import_watchdog_ = 0;
    state_.in_flight.store(0, std::memory_order_relaxed);
    tick.import_timed_out = true;
  }
  return tick;
}

void WindowLogic::OnImportResult(int code) {
  std::string_view message;
  switch (code) {
    case 0:
      message = text::kImportSuccess;
      break;
    case 5:
      message = text::kImportFail;
      break;
    case 6:
      message = text::kFileError;
      break;
    case 7:
      message = text::kTooManyFiles;
      break;
    case 8:
      message = text::kFileNameError;
      break;
    default:
      break;
  }
  if (!message.empty()) {
    shell_.ShowMessage(MessageOwner::kMainWindow, message, text::kNotice, MessageIcon::kNone);
  }
  shell_.SetWaitCursor(false);
}

bool WindowLogic::OnTransferResult(int code) {
  std::string_view message;
  switch (code) {
    case 0:
      message = text::kRestoreSuccess;
      break;
    case 1:
      message = text::kBackupSuccess;
      break;
    case 2:
      message = text::kRestoreFail;
      break;
    case 3:
      message = text::kBackupFail;
      break;
    case 4:
      message = text::kBackupNotWritten;
      break;
    default:
      break;
  }
  if (!message.empty()) {
    shell_.ShowMessage(MessageOwner::kMainWindow, message, text::kNotice, MessageIcon::kNone);
  }
  return code == kTransferRestored;
}

void WindowLogic::OnDeviceGone() {
  shell_.ShowMessage(MessageOwner::kMainWindow, text::kDeviceDisconnected, text::kNotice,
                     MessageIcon::kWarning);
  disconnected_ = true;
}

void WindowLogic::OnKeyDown(int key, bool ctrl_held) {
  switch (key) {
    case kKeyA:
      if (ctrl_held && ui_.hover_item == kItemPresetList) ui_.list_selected.fill(1);
      break;
    case kKeyShift:
      shift_ = true;
      ctrl_ = false;
      break;
    case kKeyCtrl:
      ctrl_ = true;
      shift_ = false;
      break;
    case kKeyEscape:
      ui_.wide_active_item = 0;
      state_.active_item.Set(kItemDismissed);
      state_.active_sub_item.Set(kItemDismissed);
      ui_.list_selected.fill(0);
      shell_.HideValueEntry();
      break;
    case kKeySpace:
      Tap();
      break;
    case kKeyUp:
      if (state_.active_item.Get() == kItemPresetList) MoveListCursor(-1);
      break;
    case kKeyDown:
      if (state_.active_item.Get() == kItemPresetList) MoveListCursor(+1);
      break;
    default:
      break;
  }
}

void WindowLogic::MoveListCursor(int step) {
  state_.dirty.store(0, std::memory_order_relaxed);
  const int cursor = std::clamp(state_.list_cursor.Get() + step, 0, kLastPreset);
  state_.list_cursor.Set(cursor);
  // The device switches along, as for a click on the list: otherwise the editor would show
  // one preset while the device plays, and takes edits into, another.
  state_.preset_change_request.store(1);
  state_.current_preset.store(cursor, std::memory_order_relaxed);
  SelectPreset(state_, cursor);
}

void WindowLogic::OnValueEntryKeyDown(int key, bool ctrl_held) {
  if (key == kKeyA || key == kKeyShift || key == kKeyCtrl || key == kKeyEscape)
    OnKeyDown(key, ctrl_held);
}

bool WindowLogic::OnValueEntryChar(char32_t ch) {
  if (ch == U' ') {
    Tap();
    return false;
  }
  return (ch >= U'0' && ch <= U'9') || ch == U'+' || ch == U'-' || ch == U'.' ||
         ch == kCharBackspace;
}

void WindowLogic::OnValueEntryEnter(std::string_view text) {
  if (pointer_ != nullptr) pointer_->EnterValue(text);
}

void WindowLogic::OnKeyUp() {
  ui_.tap_key_held = 0;
  ctrl_ = false;
  shift_ = false;
}

void WindowLogic::Tap() { TapTempo(state_, ui_, clock_); }

WindowLogic::ResizeResult WindowLogic::OnResize(int client_width, int client_height) {
  // A zero size (a minimised window) keeps the old scale: mouse positions are divided by
  // it.
  if (client_height != last_client_height_ && client_height > 0) {
    vertical_scale_ = static_cast<float>(client_height) / kBaseCanvasHeight;
    last_client_height_ = client_height;
  }
  if (client_width != last_client_width_ && client_width > 0) {
    horizontal_scale_ = static_cast<float>(client_width) / kBaseCanvasWidth;
    last_client_width_ = client_width;
  }
  if (pointer_ != nullptr) pointer_->PlaceValueEntry();
  ResizeResult result;
  result.value_entry_style = ValueEntryStyleForScale(vertical_scale_);
  shell_.SetValueEntryFont(result.value_entry_style);
  result.make_base_size = !sized_;
  sized_ = true;
  return result;
}

BasePoint WindowLogic::ToBase(double client_x, double client_y) const {
  return {static_cast<int>(static_cast<float>(client_x) / horizontal_scale_),
          static_cast<int>(static_cast<float>(client_y) / vertical_scale_)};
}

int WindowLogic::PresentWidth() const {
  return static_cast<int>(kBaseCanvasWidth * horizontal_scale_);
}

int WindowLogic::PresentHeight() const {
  return static_cast<int>(kBaseCanvasHeight * vertical_scale_);
}

bool WindowLogic::OnLeftButtonDown(double client_x, double client_y) {
  if (shell_.IsWaitCursor()) return false;
  const BasePoint p = ToBase(client_x, client_y);
  const Modifier modifier = ctrl_ ? Modifier::kCtrl : shift_ ? Modifier::kShift : Modifier::kNone;
  if (pointer_ != nullptr) pointer_->Press(p.x, p.y, modifier);
  return true;
}

void WindowLogic::OnLeftButtonUp(double client_x, double client_y) {
  const BasePoint p = ToBase(client_x, client_y);
  if (pointer_ != nullptr) pointer_->Release(p.x, p.y);
}

void WindowLogic::OnMouseMove(double client_x, double client_y) {
  const BasePoint p = ToBase(client_x, client_y);
  if (pointer_ != nullptr) pointer_->Move(p.x, p.y);
}

void WindowLogic::OnWheel(int delta) {
  if (pointer_ != nullptr) pointer_->Wheel(delta);
}

void WindowLogic::OnDevicePageChange() {
  ui_.wide_active_item = 0;
  shell_.HideValueEntry();
}

}  // namespace rq700
