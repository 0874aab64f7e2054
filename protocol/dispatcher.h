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
// the edit model dirty first.
class Dispatcher : public PacketSink {
 public:
  Dispatcher(DeviceState& state, WindowLink& window);

  // Set before the reader thread starts; without it 0xAA and 0xAB are ignored.
  void set_backup_restore_jobs(BackupRestoreJobs* jobs) { context_.jobs = jobs; }

  void OnPacket(const uint8_t* packet, size_t size) override;

 private:
  HandlerContext context_;
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_DISPATCHER_H_
