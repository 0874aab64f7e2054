#ifndef RQ700_PROTOCOL_WINDOW_LINK_H_
#define RQ700_PROTOCOL_WINDOW_LINK_H_

namespace rq700 {

// What the worker threads (sequencer, reader) tell the editor's window. The Qt
// implementation posts across threads (queued) or, where the caller must wait for the
// window, blocks until the window has handled the call (blocking-queued). Tests record
// the calls.
class WindowLink {
 public:
  virtual ~WindowLink() = default;

  // A preset import ended with `code` (0..8). Posted.
  virtual void ImportResult(int code) = 0;
  // A restore (0: finished, 2: failed) or a backup (1: finished) ended. Posted.
  virtual void TransferResult(int code) = 0;
  // The device is gone. Blocks until the window has told the user and begun to close.
  virtual void DeviceGone() = 0;
  // Preset `preset_index` (0..199) of the start-up dump arrived: moves the waiting
  // dialog's progress bar. Posted.
  virtual void WaitingProgress(int preset_index) = 0;
  // The device changed the page on its own: the value entry box, if shown, goes away.
  // Posted. Windows without such a box need not implement it.
  virtual void HideValueEntry() {}
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_WINDOW_LINK_H_
