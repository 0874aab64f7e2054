#ifndef RQ700_EDITOR_MAIN_WINDOW_H_
#define RQ700_EDITOR_MAIN_WINDOW_H_

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "catalog/text_styles.h"
#include "editor/frame_presenter.h"
#include "editor/shell.h"
#include "editor/waiting_dialog.h"
#include "editor/window_logic.h"
#include "protocol/device_state.h"
#include "skin/canvas.h"
#include "skin/qt_image.h"
#include "skin/view_state.h"

class QLineEdit;
class QMimeData;

namespace rq700 {

class EditCommands;

// Paints the whole current view into the back buffer through a canvas.
using FramePainter = std::function<void(Canvas&)>;

// The editor's main window, "RQ700 Studio": the base canvas drawn at the client area's size
// and the screen's pixel ratio into the back buffer and shown, the start-up wait (300 ms) and
// repaint (50 ms) timers, the keys, the mouse and the messages of the worker threads. Created
// hidden; the start-up wait shows it.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  struct Options {
    // Run the two timers; tests leave them off and call the ticks themselves.
    bool run_timers = true;
    TickClock clock = SteadyTickCount;
  };

  MainWindow(DeviceState& state, ViewState& ui, Shell& shell, QtImageSet images, Options options);
  ~MainWindow() override;

  void set_waiting_dialog(WaitingDialog* dialog) { waiting_ = dialog; }
  WaitingDialog* waiting_dialog() const { return waiting_; }
  void set_painter(FramePainter painter) {
    painter_ = std::move(painter);
    painted_ = false;
  }
  void set_pointer_input(PointerInput* input) { logic_.set_pointer_input(input); }
  // Local files dropped on the window, as UTF-8 paths.
  void set_drop_handler(std::function<void(const std::vector<std::string>&)> handler) {
    drop_handler_ = std::move(handler);
    setAcceptDrops(drop_handler_ != nullptr);
  }
  // Undo, redo, copy, paste and the key list: offered every key first, ticked with the
  // repaint timer.
  void set_edit_commands(EditCommands* commands) { edit_commands_ = commands; }

  WindowLogic& logic() { return logic_; }
  QLineEdit* value_entry() const { return value_entry_; }
  // The last frame, in device pixels: the window's size times the screen's pixel ratio.
  const QImage& back_buffer() const { return back_buffer_.pixels; }
  const QtImageSet& images() const { return images_; }
  // The text styles as the canvas draws them.
  std::span<const catalog::TextStyle> text_styles() const { return styles_; }
  bool ended() const { return ended_; }
  bool repainting() const { return repainting_; }

  // Paints the current view into the back buffer (what each repaint does first).
  void PaintBackBuffer();
  // True when the back buffer no longer shows the device and view state, or was drawn for
  // another size or screen: the repaint tick repaints only then (and while a transfer runs,
  // for its stall watch).
  bool FrameOutdated() const;

 public slots:
  // One tick of the start-up wait.
  void StartupTick();
  // One tick of the repaint timer.
  void RepaintTick();

  // From the worker threads (through the window link).
  void ImportResult(int code);
  void TransferResult(int code);
  void DeviceGone();
  void WaitingProgress(int preset_index);
  // The device changed the page on its own: the value entry box goes away.
  void HideValueEntry();

 signals:
  // The window is gone and the program ends (the message loop should quit).
  void Ended();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Every end passes here: timers stop, the window goes, Ended is emitted once.
  void End(bool device_gone);
  // Paints the back buffer and brings the presented frame up to date; returns the part of
  // the window that changed.
  QRegion RenderFrame();
  // Device pixels per base-canvas pixel, across and down: the window's present size times
  // the screen's pixel ratio, over the base canvas.
  QSizeF DeviceScale() const;
  // The present size in the screen's pixels.
  QSize PresentDeviceSize() const;

  DeviceState& state_;
  const ViewState& view_;
  Shell& shell_;
  WindowLogic logic_;
  Options options_;
  QtImageSet images_;
  std::array<catalog::TextStyle, catalog::kTextStyleCount> styles_{};
  QtBackBuffer back_buffer_;
  FramePresenter presenter_;
  FramePainter painter_;
  std::function<void(const std::vector<std::string>&)> drop_handler_;
  EditCommands* edit_commands_ = nullptr;
  QLineEdit* value_entry_;
  QPointer<WaitingDialog> waiting_;
  QTimer startup_timer_;
  QTimer repaint_timer_;
  bool startup_over_ = false;
  bool repainting_ = false;
  bool ended_ = false;
  // What the back buffer was last painted from.
  bool painted_ = false;
  uint64_t painted_changes_ = 0;
  ViewState painted_view_;
};

// The local files among dropped data, as UTF-8 paths; empty when there is any other kind.
std::vector<std::string> DroppedFiles(const QMimeData* data);

// The number the window logic knows a Qt key by (kKeyA, kKeyShift...); 0 for any other.
int WindowKeyNumber(int qt_key);
// The number of an editing key (kKeyZ, kKeyY, kKeyC, kKeyV, kKeyF1); 0 for any other.
int EditKeyNumber(int qt_key);

// The value entry box's font: text style `style`, bold.
void ApplyValueEntryFont(QLineEdit* box, int style);

}  // namespace rq700

#endif  // RQ700_EDITOR_MAIN_WINDOW_H_
