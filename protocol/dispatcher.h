#ifndef RQ700_PROTOCOL_DISPATCHER_H_
#define RQ700_PROTOCOL_DISPATCHER_H_

#include <cstddef>
#include <cstdint>

#include "link/packet_parser.h"
#include "protocol/handlers.h"

namespace rq700 {

// Hands every good packet from the device to the handler of its command, on the reader
// thread. Codes without a handler are ignored, and so is a packet whose payload is
// shorter than its handler reads. The module, system, volume, EXP and tempo messages mark
// the edit model dirty first, except when they close the dump after its record 199.
//
// The dump is the burst the device sends after the dump request, in any order with only
// record 199 last among the records; its setting packets may follow that record. The
// dump counts as over when the line first falls quiet (a read that brings nothing) after
// record 199, or one second after that record if the device never falls quiet.
class Dispatcher : public PacketSink {
 public:
  // Time after record 199 at which the dump ends even on a line that never falls quiet.
  static constexpr int64_t kDumpTailMs = 1000;

  Dispatcher(DeviceState& state, WindowLink& window);

  // Set before the reader thread starts; without it 0xAA and 0xAB are ignored.
  void set_backup_restore_jobs(BackupRestoreJobs* jobs) { context_.jobs = jobs; }

  void OnPacket(const uint8_t* packet, size_t size) override;
  void OnQuiet() override;

 private:
  void MarkDirty();

  HandlerContext context_;
  // Reader thread only: when record 199 ended the wait for the records, -1 before.
  int64_t last_record_ms_ = -1;
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_DISPATCHER_H_
