#ifndef RQ700_PROTOCOL_EDITOR_SESSION_H_
#define RQ700_PROTOCOL_EDITOR_SESSION_H_

#include <string>

#include "link/editor_threads.h"
#include "link/hid_device.h"
#include "protocol/device_state.h"
#include "protocol/dispatcher.h"
#include "protocol/sequencer.h"
#include "protocol/window_link.h"

namespace rq700 {

// The editor's link to the device: the sequencer, the dispatcher and the two worker
// threads over one DeviceState and one device. The device gone report goes to the window.
class EditorSession {
 public:
  EditorSession(DeviceState& state, CHidDevice& device, WindowLink& window);

  // Opens the device, sends the start-up report and starts both threads; false when the
  // device does not open.
  bool Start(const std::string& path) { return threads_.Start(path); }
  // Ends both threads (see EditorThreads::Shutdown).
  void Shutdown() { threads_.Shutdown(); }

  Sequencer& sequencer() { return sequencer_; }
  Dispatcher& dispatcher() { return dispatcher_; }
  EditorThreads& threads() { return threads_; }

 private:
  Sequencer sequencer_;
  Dispatcher dispatcher_;
  EditorThreads threads_;
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_EDITOR_SESSION_H_
