#ifndef RQ700_PROTOCOL_SEQUENCER_H_
#define RQ700_PROTOCOL_SEQUENCER_H_

#include <chrono>
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
// sync is enabled), moves to its successor and sends the packet the channel built. After a
// turn of the ring that sent something it pauses 1 ms; a turn that sent nothing, with
// nothing changed in the state since it began, leaves nothing due, so the next turn waits
// for the state's change signal (or the idle limit, should a change go unannounced). The
// first packet is the dump request; the re-request flag sends it again. Nothing waits for
// an answer.
class Sequencer : public SequencerStep {
 public:
  Sequencer(DeviceState& state, CHidDevice& device, WindowLink& window);

  // Hooks of the jobs above the protocol; set before the thread starts. Without them the
  // multi-file import ends with a file error and the backup and restore channels send
  // nothing.
  void set_import_feed(PresetImportFeed* feed) { context_.import_feed = feed; }
  void set_backup_restore_jobs(BackupRestoreJobs* jobs) { context_.jobs = jobs; }

  void Step() override;
  // Ends an idle wait at once (the run flag has been cleared).
  void Wake() override;

  // The longest idle wait: a change made without notifying the state is still sent after
  // at most this long.
  static constexpr std::chrono::milliseconds kIdleLimit{100};
  void set_idle_limit(std::chrono::milliseconds limit) { idle_limit_ = limit; }

  // Sequencer thread only (tests call Step on their own thread).
  uint8_t state() const { return state_; }

 private:
  // Called as a turn begins at the ring's start: waits while the last turn left nothing due.
  void BeginTurn();

  CHidDevice& device_;
  ChannelContext context_;
  uint8_t state_ = kDumpRequest;
  size_t pending_ = 0;
  bool turn_sent_ = true;
  uint64_t turn_start_changes_ = 0;
  std::chrono::milliseconds idle_limit_ = kIdleLimit;
  uint8_t tx_[kTxPacketCapacity] = {};
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_SEQUENCER_H_
