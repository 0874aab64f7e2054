#include "updater/update_worker.h"

#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "files/firmware_image.h"
#include "link/packet.h"

namespace rq700 {
namespace {

constexpr int kReaderStartDelayMs = 20;
constexpr int kReaderActivationTries = 10;
constexpr int kReaderPauseMs = 10;
constexpr int kFinishSettleMs = 100;
constexpr int kCloseSettleMs = 10;
constexpr size_t kBlockSize = files::kFirmwareBlockSize;

// Identity reply fields, as packet offsets.
constexpr size_t kIdentityModelOffset = 5;
constexpr size_t kIdentityVersionOffset = 44;

void Delay(UpdateSession& session, int ms) {
  if (session.delay) {
    session.delay(ms);
  } else {
    SleepDelay(ms);
  }
}

// Polls `flag` up to `units` times with one delay unit after each poll.
bool WaitFor(UpdateSession& session, const std::atomic<uint32_t>& flag, uint64_t units) {
  for (uint64_t i = 0; i < units; ++i) {
    if (flag.load(std::memory_order_acquire) != 0) return true;
    Delay(session, 1);
  }
  return flag.load(std::memory_order_acquire) != 0;
}

// Polls `flag` with one delay unit after each poll; the polls are counted from 1 and the
// wait gives up at poll number `polls` (the first poll when it is 0).
bool PollFor(UpdateSession& session, const std::atomic<uint32_t>& flag, uint64_t polls) {
  for (uint64_t n = 1;; ++n) {
    if (flag.load(std::memory_order_acquire) != 0) return true;
    if (n >= polls) return false;
    Delay(session, 1);
  }
}

// Hands the reader's good packets to the reply handler.
class ReplySink : public PacketSink {
 public:
  explicit ReplySink(UpdateSession& session) : session_(session) {}
  void OnPacket(const uint8_t* packet, size_t size) override {
    HandleUpdateReply(session_, packet, size);
  }

 private:
  UpdateSession& session_;
};

class Worker {
 public:
  explicit Worker(UpdateSession& session) : session_(session) {}

  int Run() {
    session_.identity_received.store(0);
    session_.apply_answered.store(0);

    std::array<uint8_t, 32> model_text;
    {
      std::lock_guard lock(session_.record_mutex);
      model_text = session_.record.model_text;
    }
    std::string image_path;
    const std::string_view model(reinterpret_cast<const char*>(model_text.data()),
                                 model_text.size());
    if (!files::FindNewestFirmwareImage({session_.firmware_folder, session_.user_firmware_folder},
                                        model, &image_path)) {
      return End(kStatusOpenFirmware);
    }
    // Open refuses any image whose chain, segments or counts would lead the update
    // outside the file; an image that has nothing to send, or nothing to count progress
    // by, is refused before anything goes to the device.
    if (image_.Open(image_path) == 0 || image_.header().model != files::kFirmwareTargetModel ||
        image_.segment_count() < 1 || image_.total_blocks() == 0) {
      return End(kStatusOpenFirmware);
    }
    const files::FirmwareHeader& header = image_.header();
    session_.apply_reply.store(header.apply_reply);

    const uint8_t zero = 0;
    SendRequest(kStartRequestCommand, &zero, 1);  // not waited for

    session_.identity_received.store(0);
    if (!SendRequest(kIdentityRequestCommand, &zero, 1)) return End(kStatusSendFailed);
    if (!WaitFor(session_, session_.identity_received, kIdentityWaitUnits)) {
      return End(kStatusTimeout);
    }
    session_.sink.PostStatus(kStatusProgress, 2);

    session_.apply_answered.store(0);
    if (!SendRequest(header.apply_command, header.apply_param, sizeof(header.apply_param))) {
      return End(kStatusSendFailed);
    }
    if (!PollFor(session_, session_.apply_answered, header.apply_timeout)) {
      return End(kStatusTimeout);
    }
    if (session_.accepted.load() == 0) return End(kStatusApplyRefused);

    for (int k = 1; k <= image_.segment_count(); ++k) {
      if (!SendSegment(k)) return End(kStatusBlockFailed);
    }
    session_.current_segment_reply.store(-1);

    SendRequest(kFinishRequestCommand, &zero, 1);  // not waited for
    session_.sink.PostStatus(kStatusSuccess, 0);

    Delay(session_, kFinishSettleMs);
    session_.device.set_link_active(0);
    Delay(session_, kCloseSettleMs);
    session_.device.Close();
    return 1;
  }

 private:
  int End(int status) {
    session_.current_segment_reply.store(-1);
    session_.device.set_link_active(0);
    session_.device.Close();  // also releases the reader
    session_.sink.PostStatus(status, 0);
    return 0;
  }

  bool SendRequest(uint8_t command, const uint8_t* payload, size_t size) {
    BeginPacket(tx_, command, size);
    if (size > 0) std::memcpy(tx_ + kPacketPayloadOffset, payload, size);
    const size_t packet_size = FramePacket(tx_);
    return session_.device.Send(tx_, static_cast<int32_t>(packet_size));
  }

  bool SendSegment(int k) {
    const files::FirmwareSegment& segment = image_.segment(k);
    const std::span<const uint8_t> data = image_.SegmentData(k);
    const uint32_t blocks = segment.BlockCount();
    if (data.size() < static_cast<size_t>(blocks) * kBlockSize) return false;
    const uint32_t total = image_.total_blocks();
    session_.current_segment_reply.store(segment.reply);
    for (uint32_t j = 0; j < blocks; ++j) {
      const uint16_t number = static_cast<uint16_t>(segment.first_block + j);
      BeginPacket(tx_, segment.data_command, 2 + kBlockSize);
      tx_[kPacketPayloadOffset] = static_cast<uint8_t>(number >> 8);
      tx_[kPacketPayloadOffset + 1] = static_cast<uint8_t>(number & 0xFF);
      std::memcpy(tx_ + kPacketPayloadOffset + 2, data.data() + j * kBlockSize, kBlockSize);
      const size_t packet_size = FramePacket(tx_);

      const uint32_t sent = session_.sent_blocks.fetch_add(1) + 1;
      uint8_t percent = static_cast<uint8_t>(uint64_t{sent} * 100 / total);
      if (percent < 2) percent = 2;
      session_.sink.PostStatus(kStatusProgress, percent);

      session_.acknowledged.store(0);
      if (!session_.device.Send(tx_, static_cast<int32_t>(packet_size))) return false;
      if (!WaitFor(session_, session_.acknowledged, segment.block_timeout)) return false;
    }
    return true;
  }

  UpdateSession& session_;
  files::FirmwareImage image_;
  uint8_t tx_[kTxPacketCapacity] = {};
};

}  // namespace

namespace {
constexpr int64_t kCoarseTickUs = 15625;  // 1/64 s

int64_t SteadyMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

uint64_t CoarseTickMs() {
  return static_cast<uint64_t>(SteadyMicros() / kCoarseTickUs * kCoarseTickUs / 1000);
}

void SleepDelay(int ms) {
  const uint64_t start = CoarseTickMs();
  // Sleep to each next tick instead of spinning; the count of ticks is what matters.
  while (CoarseTickMs() - start <= static_cast<uint64_t>(ms < 0 ? 0 : ms)) {
    const int64_t next = (SteadyMicros() / kCoarseTickUs + 1) * kCoarseTickUs;
    std::this_thread::sleep_for(std::chrono::microseconds(next - SteadyMicros()));
  }
}

int UpdateWorker(UpdateSession& session) { return Worker(session).Run(); }

int UpdateReader(UpdateSession& session) {
  Delay(session, kReaderStartDelayMs);
  for (int tries = 0; session.device.link_active() == 0;) {
    if (++tries >= kReaderActivationTries) return 0;
    Delay(session, 1);
  }
  session.parser = PacketParser{};
  ReplySink sink(session);
  uint8_t payload[kReportPayload];
  while (session.device.link_active() == 1) {
    int count = 0;
    if (!session.device.ReadReport(payload, &count)) break;
    // Bytes that do not fit into the ring are dropped.
    session.ring.Push(payload, static_cast<size_t>(count));
    session.parser.Run(session.ring, sink);
    Delay(session, kReaderPauseMs);
  }
  session.ring.count_ = 0;
  session.ring.write_index_ = 0;
  session.ring.read_index_ = 0;
  return 170;
}

void HandleUpdateReply(UpdateSession& session, const uint8_t* packet, size_t size) {
  if (size <= kPacketCommandOffset) return;
  const uint8_t command = packet[kPacketCommandOffset];
  // The payload ends before the two CRC bytes; fields beyond it read as zero rather than
  // as whatever the parser's buffer held before.
  const size_t payload_end = size >= 2 ? size - 2 : 0;
  auto byte_at = [&](size_t offset) -> uint8_t {
    return offset < payload_end ? packet[offset] : 0;
  };

  if (command == kIdentityReplyCommand) {
    std::lock_guard lock(session.record_mutex);
    for (size_t i = 0; i < session.record.model_text.size(); ++i) {
      session.record.model_text[i] = byte_at(kIdentityModelOffset + i);
    }
    for (size_t i = 0; i < session.record.version_text.size(); ++i) {
      session.record.version_text[i] = byte_at(kIdentityVersionOffset + i);
    }
    session.identity_received.store(1, std::memory_order_release);
    return;
  }
  if (command == session.apply_reply.load()) {
    session.accepted.store(byte_at(kPacketPayloadOffset));
    session.apply_answered.store(1, std::memory_order_release);
    return;
  }
  // An acknowledgement counts for the segment being sent and for nothing else.
  if (command == session.current_segment_reply.load()) {
    session.acknowledged.store(1, std::memory_order_release);
  }
}

}  // namespace rq700
