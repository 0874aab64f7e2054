#include "launcher/detect.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "launcher/access_check.h"
#include "link/hid_port.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700 {
namespace {

// The 0x84 query packet, AA 55 03 00 84 00 00 and its CRC.
constexpr uint8_t kNormalQuery[] = {0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7};
// The identity request, command 0x00 with payload 00, and its CRC; the loader answers 0x01.
constexpr uint8_t kIdentityRequest[] = {0xAA, 0x55, 0x02, 0x00, 0x00, 0x00, 0x12, 0x97};
constexpr uint8_t kIdentityReplyCode = 0x01;
// Payload bytes of a report up to the last field the query takes from it: report bytes
// 8-23 of the normal-mode answer, 7-38 of the identity reply.
constexpr int kNormalAnswerBytes = 22;
constexpr int kIdentityAnswerBytes = 37;

void BuildReport(uint8_t* report, const uint8_t* payload, uint8_t count) {
  std::memset(report, 0, kReportSize);
  report[1] = count;
  if (payload != nullptr) std::memcpy(report + 2, payload, count);
}

// Keeps the first packet with the awaited command, laid out as a report that starts with
// it, so its fields sit at the same fixed places.
class AnswerCatcher : public PacketSink {
 public:
  AnswerCatcher(uint8_t command, uint8_t* answer) : command_(command), answer_(answer) {}
  void OnPacket(const uint8_t* packet, size_t size) override {
    if (found_ || packet[kPacketCommandOffset] != command_) return;
    const size_t count = std::min<size_t>(size, kReportPayload);
    std::memset(answer_, 0, kReportSize);
    answer_[1] = static_cast<uint8_t>(count);
    std::memcpy(answer_ + 2, packet, count);
    found_ = true;
  }
  bool found() const { return found_; }

 private:
  uint8_t command_;
  uint8_t* answer_;
  bool found_ = false;
};

// Reads reports until the answer with `command` arrives or the answer time passes. A
// report that starts with that packet and holds the `needed` payload bytes the fields take
// is the answer as it stands, its CRC unchecked; other reports (a knob the player turns at that
// moment) are read past. The answer may also come packed behind other bytes or cut across reports:
// the reports then go through the packet parser.
bool ReadAnswer(HidPort& port, uint8_t command, int needed, uint8_t* answer) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(HidDeviceQueries::kAnswerMs);
  auto ring = std::make_unique<RxRing>();
  auto parser = std::make_unique<PacketParser>();
  AnswerCatcher catcher(command, answer);
  uint8_t report[kReportSize];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return false;
    const ReadResult got = port.ReadReport(report, static_cast<int>(left));
    if (got == ReadResult::kDisconnected) return false;
    if (got == ReadResult::kNothing) continue;
    const int count = std::min<int>(report[1], kReportPayload);
    // A report that starts with the answer and carries the fields read from it.
    if (count >= needed && report[2] == kStartMark1 && report[3] == kStartMark2 &&
        report[6] == command) {
      std::memcpy(answer, report, kReportSize);
      return true;
    }
    ring->Push(report + 2, static_cast<size_t>(count));
    parser->Run(*ring, catcher);
    if (catcher.found()) return true;
  }
}

// Writes `first` (outcome ignored), then `second` and reads the answer with `command`
// into `answer`.
QueryResult Exchange(const std::string& path, const uint8_t* first, const uint8_t* second,
                     uint8_t command, int needed, uint8_t* answer) {
  std::unique_ptr<HidPort> port = MakeHidPort(path);
  if (port == nullptr || !port->Open(path)) {
    return DeviceAccessDenied(path) ? QueryResult::kAccessDenied : QueryResult::kFailed;
  }
  port->WriteReport(first, HidDeviceQueries::kFirstWriteMs);
  bool ok = port->WriteReport(second, HidDeviceQueries::kAnswerMs);
  ok = ok && ReadAnswer(*port, command, needed, answer);
  port->Close();
  return ok ? QueryResult::kAnswered : QueryResult::kFailed;
}

}  // namespace

void BuildNormalQueryReport(uint8_t* report) {
  BuildReport(report, kNormalQuery, sizeof(kNormalQuery));
}

void BuildWakeUpReport(uint8_t* report) { BuildReport(report, nullptr, 8); }

void BuildIdentityRequestReport(uint8_t* report) {
  BuildReport(report, kIdentityRequest, sizeof(kIdentityRequest));
}

bool TakeNormalModeAnswer(const uint8_t* report, DeviceRecord* record) {
  record->version_text.fill(0);
  record->model_text.fill(0);
  std::memcpy(record->version_text.data(), report + 8, 5);
  std::memcpy(record->model_text.data(), report + 13, 11);
  return std::memcmp(record->model_text.data(), kTargetModel, sizeof(kTargetModel)) == 0;
}

void TakeUpdateModeAnswer(const uint8_t* report, DeviceRecord* record) {
  std::memcpy(record->model_text.data(), report + 7, record->model_text.size());
  std::memcpy(record->version_text.data(), report + 20, 5);
}

QueryResult HidDeviceQueries::NormalModeQuery(const std::string& path, DeviceRecord* record) {
  uint8_t query[kReportSize];
  uint8_t answer[kReportSize] = {};
  BuildNormalQueryReport(query);
  const QueryResult result =
      Exchange(path, query, query, kNormalQuery[4], kNormalAnswerBytes, answer);
  if (result != QueryResult::kAnswered) return result;
  return TakeNormalModeAnswer(answer, record) ? QueryResult::kAnswered : QueryResult::kFailed;
}

QueryResult HidDeviceQueries::UpdateModeQuery(const std::string& path, DeviceRecord* record) {
  uint8_t wake_up[kReportSize];
  uint8_t request[kReportSize];
  uint8_t answer[kReportSize] = {};
  BuildWakeUpReport(wake_up);
  BuildIdentityRequestReport(request);
  const QueryResult result =
      Exchange(path, wake_up, request, kIdentityReplyCode, kIdentityAnswerBytes, answer);
  if (result == QueryResult::kAnswered) TakeUpdateModeAnswer(answer, record);
  return result;
}

DetectOutcome Detect(const std::vector<DeviceEntry>& entries, DeviceQueries& queries,
                     DeviceRecord* record) {
  DetectOutcome outcome;
  for (const DeviceEntry& entry : entries) {
    if (entry.vendor_id != kRq700VendorId) continue;
    record->release_number = entry.release_number;
    record->product_id = entry.product_id;
    record->device_path = entry.path;
    if (entry.release_number != kRq700ReleaseNumber) continue;
    if (entry.product_id == kRq700UpdateProductId) {
      const QueryResult result = queries.UpdateModeQuery(entry.path, record);
      if (result == QueryResult::kAnswered) {
        outcome.result = Detection::kUpdateMode;
        outcome.denied_path.clear();
      } else if (result == QueryResult::kAccessDenied) {
        outcome.denied_path = entry.path;
      }
      return outcome;
    }
    if (entry.product_id == kRq700NormalProductId) {
      const QueryResult result = queries.NormalModeQuery(entry.path, record);
      if (result == QueryResult::kAnswered) {
        outcome.result = Detection::kNormalMode;
        outcome.denied_path.clear();
        return outcome;
      }
      if (result == QueryResult::kAccessDenied && outcome.denied_path.empty()) {
        outcome.denied_path = entry.path;
      }
    }
  }
  return outcome;
}

bool VersionAccepted(const DeviceRecord& record) {
  // Byte for byte up to the terminating zero: "2.0.0" followed by anything is refused.
  return record.Version() == kRequiredVersion;
}

}  // namespace rq700
