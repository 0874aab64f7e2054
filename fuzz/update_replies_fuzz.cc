// The update loader's replies as the update reader takes them: the ring, the parser and
// the reply handler, with the reply codes of an image in flight.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_targets.h"
#include "link/packet.h"
#include "updater/update_worker.h"

namespace rq700::fuzz {
namespace {

class NoStatus : public UpdateStatusSink {
 public:
  void PostStatus(int, int) override {}
};

class ReplySink : public PacketSink {
 public:
  explicit ReplySink(UpdateSession& session) : session_(session) {}
  void OnPacket(const uint8_t* packet, size_t size) override {
    FUZZ_CHECK(size >= kPacketOverhead + 1 && size <= kMaxReceivedPacket);
    HandleUpdateReply(session_, packet, size);
  }

 private:
  UpdateSession& session_;
};

}  // namespace

void FuzzUpdateReplies(const uint8_t* data, size_t size) {
  if (size < 2) return;
  static LauncherDevice device;
  DeviceRecord record;
  NoStatus status;
  UpdateSession session(device, record, status);
  // The first two bytes: the apply reply and the reply of the segment being sent.
  session.apply_reply = data[0];
  session.current_segment_reply = data[1];
  ReplySink sink(session);
  for (size_t at = 2; at < size; at += kReportPayload) {
    const size_t n = std::min<size_t>(size - at, kReportPayload);
    FUZZ_CHECK(session.ring.Push(data + at, n) || session.ring.free_space() < n);
    session.parser.Run(session.ring, sink);
  }
  // Texts stay inside their fields whatever the reply held.
  const std::string model = record.Model();
  const std::string version = record.Version();
  FUZZ_CHECK(model.size() <= record.model_text.size());
  FUZZ_CHECK(version.size() <= record.version_text.size());
}

std::vector<Input> UpdateReplySeeds() {
  // The loader's identity reply, its answer to the apply request and three block
  // acknowledgements, as one stream.
  Input stream = {0x11, 0x30};
  uint8_t packet[kTxPacketCapacity];
  uint8_t identity[60] = {};
  std::memcpy(identity, "ZORVA_RQ700", 11);
  std::memcpy(identity + 39, "2.0.0", 5);
  auto add = [&](uint8_t command, const uint8_t* payload, size_t n) {
    const size_t size = BuildPacket(command, payload, n, packet, sizeof(packet));
    FUZZ_CHECK(size > 0);
    stream.insert(stream.end(), packet, packet + size);
  };
  add(kIdentityReplyCommand, identity, sizeof(identity));
  const uint8_t accepted = 1;
  add(0x11, &accepted, 1);
  for (uint8_t block = 0; block < 3; ++block) add(0x30, &block, 1);
  Input short_identity = {0x11, 0x30};
  const size_t n = BuildPacket(kIdentityReplyCommand, identity, 12, packet, sizeof(packet));
  short_identity.insert(short_identity.end(), packet, packet + n);
  return {stream, short_identity};
}

}  // namespace rq700::fuzz
