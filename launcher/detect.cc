#include "launcher/detect.h"

#include <cstring>

#include "launcher/access_check.h"
#include "link/hid_port.h"

namespace rq700 {
namespace {

// The 0x84 query packet, AA 55 03 00 84 00 00 and its CRC.
constexpr uint8_t kNormalQuery[] = {0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7};
// The identity request, command 0x00 with payload 00, and its CRC.
constexpr uint8_t kIdentityRequest[] = {0xAA, 0x55, 0x02, 0x00, 0x00, 0x00, 0x12, 0x97};

void BuildReport(uint8_t* report, const uint8_t* payload, uint8_t count) {
  std::memset(report, 0, kReportSize);
  report[1] = count;
  if (payload != nullptr) std::memcpy(report + 2, payload, count);
}

// Writes `first` (outcome ignored), then `second` and reads one answer into `answer`.
QueryResult Exchange(const std::string& path, const uint8_t* first, const uint8_t* second,
                     uint8_t* answer) {
  std::unique_ptr<HidPort> port = MakeHidPort(path);
  if (port == nullptr || !port->Open(path)) {
    return DeviceAccessDenied(path) ? QueryResult::kAccessDenied : QueryResult::kFailed;
  }
  port->WriteReport(first, HidDeviceQueries::kFirstWriteMs);
  bool ok = port->WriteReport(second, HidDeviceQueries::kAnswerMs);
  ok = ok && port->ReadReport(answer, HidDeviceQueries::kAnswerMs) == ReadResult::kData;
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
  const QueryResult result = Exchange(path, query, query, answer);
  if (result != QueryResult::kAnswered) return result;
  return TakeNormalModeAnswer(answer, record) ? QueryResult::kAnswered : QueryResult::kFailed;
}

QueryResult HidDeviceQueries::UpdateModeQuery(const std::string& path, DeviceRecord* record) {
  uint8_t wake_up[kReportSize];
  uint8_t request[kReportSize];
  uint8_t answer[kReportSize] = {};
  BuildWakeUpReport(wake_up);
  BuildIdentityRequestReport(request);
  const QueryResult result = Exchange(path, wake_up, request, answer);
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
