#include "updater/updater_view.h"

#include "updater/update_session.h"

namespace rq700 {

const char* UpdaterStatusText(int code) {
  switch (code) {
    case kStatusBlockFailed:
      return "update error [ 0 ]";
    case kStatusBlockFailed1:
      return "update error [ 1 ]";
    case kStatusBlockFailed2:
      return "update error [ 2 ]";
    case kStatusSerialNumber:
      return "Read the serial number error";
    case kStatusApplyRefused:
      return "apply for update firware error";
    case kStatusOpenFirmware:
      return "Open Firware fail!";
    case kStatusOpenDevice:
      return "Open device fail";
    case kStatusSendFailed:
      return "Send data to device fail";
    case kStatusTimeout:
      return "MCU returned timeout";
    case kStatusSuccess:
      return "Update Successful";
    default:
      return nullptr;
  }
}

bool UpdaterView::InUpdateButton(int x, int y) {
  return x >= 160 && x <= 241 && y >= 153 && y <= 179;
}

bool UpdaterView::InCloseButton(int x, int y) { return x >= 385 && x <= 396 && y >= 2 && y <= 15; }

void UpdaterView::MouseMove(int x, int y) {
  if (InUpdateButton(x, y)) {
    hover_ = Hover::kUpdateButton;
  } else if (InCloseButton(x, y)) {
    hover_ = Hover::kCloseButton;
  } else {
    hover_ = Hover::kNowhere;
  }
}

UpdaterView::Action UpdaterView::Press(int x, int y) {
  if (InUpdateButton(x, y)) {
    if (result_ == Result::kSucceeded) return Action::kClose;
    if (!started_) {
      started_ = true;
      close_allowed_ = false;
      return Action::kStartUpdate;
    }
    return Action::kNone;
  }
  if (InCloseButton(x, y) && close_allowed_) return Action::kClose;
  return Action::kNone;
}

int UpdaterView::ApplyStatus(int code, int value) {
  if (code == kStatusProgress) {
    if (value < 0 || value > 100) return -1;
    percent_ = static_cast<uint8_t>(value);
    return value;
  }
  if (code == kStatusSuccess) {
    status_text_ = UpdaterStatusText(code);
    result_ = Result::kSucceeded;
    close_allowed_ = true;
    return -1;
  }
  // Every other code ends the update as failed; unknown codes keep the text as it was.
  if (const char* text = UpdaterStatusText(code)) status_text_ = text;
  close_allowed_ = true;
  result_ = Result::kFailed;
  return 0;
}

void UpdaterView::Paint(Canvas& canvas) const {
  canvas.DrawImage(kBackgroundImage, 0, 0);
  if (close_allowed_ && hover_ == Hover::kCloseButton) {
    canvas.DrawImage(kCloseHighlightImage, 385, 2);
  }
  if (!started_) {
    canvas.DrawText(kUpdaterTextStyle, kTextAnchorX, kTextAnchorY, kReadyText);
    return;
  }
  if (percent_ >= 100) {
    canvas.DrawImage(kButtonDoneImage, 161, 154);
  } else {
    canvas.DrawImage(kButtonImage, 160, 153);
  }
  if (result_ == Result::kRunning) {
    canvas.DrawText(kUpdaterTextStyle, kTextAnchorX, kTextAnchorY, std::to_string(percent_) + " %");
  } else {
    canvas.DrawText(kUpdaterTextStyle, kTextAnchorX, kTextAnchorY, status_text_);
  }
}

}  // namespace rq700
