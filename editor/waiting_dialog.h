#ifndef RQ700_EDITOR_WAITING_DIALOG_H_
#define RQ700_EDITOR_WAITING_DIALOG_H_

#include <QDialog>

class QProgressBar;

namespace rq700 {

// The modeless "Waiting" dialog shown while the presets arrive: one progress bar with the
// range 0..160, moved to the index of each preset received.
class WaitingDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kProgressMaximum = 160;

  explicit WaitingDialog(QWidget* parent = nullptr);

  // Positions past the range show a full bar.
  void SetPosition(int preset_index);
  int position() const;
  QProgressBar* progress_bar() const { return bar_; }

  // Neither the close box nor Escape ends the wait: the start-up wait decides.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QProgressBar* bar_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_WAITING_DIALOG_H_
