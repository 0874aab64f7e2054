#ifndef RQ700_PROTOCOL_SEQUENCER_H_
#define RQ700_PROTOCOL_SEQUENCER_H_

#include <cstddef>
#include <cstdint>

#include "link/editor_threads.h"
#include "link/hid_device.h"
#include "link/packet.h"
#include "protocol/channels.h"
#include "protocol/device_state.h"
#include "protocol/job_hooks.h"
#include "protocol/window_link.h"

namespace rq700 {

// The only sender after start-up. Each Step runs the channel of the current state (while
// sync is enabled), moves to its successor, sleeps 1 ms when a turn of the ring is
// complete, and sends the packet the channel built. The first packet is the dump request;
// the re-request flag sends it again. Nothing waits for an answer.
class Sequencer : public SequencerStep {
 public:
  Sequencer(DeviceState& state, CHidDevice& device, WindowLink& window);

  // Hooks of the jobs above the protocol; set before the thread starts. Without them the
  // multi-file import ends with a file error and the backup and restore channels send
  // nothing.
  void set_import_feed(PresetImportFeed* feed) { context_.import_feed = feed; }
  void set_backup_restore_jobs(BackupRestoreJobs* jobs) { context_.jobs = jobs; }

  void Step() override;

  // Sequencer thread only (tests call Step on their own thread).
  uint8_t state() const { return state_; }

 private:
  CHidDevice& device_;
  ChannelContext context_;
  uint8_t state_ = kDumpRequest;
  size_t pending_ = 0;
  uint8_t tx_[kTxPacketCapacity] = {};
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_SEQUENCER_H_
