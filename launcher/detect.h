#ifndef RQ700_LAUNCHER_DETECT_H_
#define RQ700_LAUNCHER_DETECT_H_

#include <string>
#include <vector>

#include "link/device_enum.h"
#include "link/launcher_device.h"

namespace rq700 {

// How a query of one device ended.
enum class QueryResult {
  kAnswered,      // the device answered as an RQ700
  kFailed,        // it could not be opened, did not answer, or is another model
  kAccessDenied,  // it is there, but this user may not open it
};

// The two questions detection asks a candidate device. Each opens, uses and closes its
// own connection.
class DeviceQueries {
 public:
  virtual ~DeviceQueries() = default;
  // Asks a device in normal mode for its firmware version and model (command 0x84).
  virtual QueryResult NormalModeQuery(const std::string& path, DeviceRecord* record) = 0;
  // Wakes a device in update mode and asks who it is (identity request).
  virtual QueryResult UpdateModeQuery(const std::string& path, DeviceRecord* record) = 0;
};

// The queries over real and virtual devices (MakeHidPort).
class HidDeviceQueries : public DeviceQueries {
 public:
  // Time a first write may take before it is given up (its outcome does not matter).
  static constexpr int kFirstWriteMs = 500;
  // Time the second write and the read must complete in.
  static constexpr int kAnswerMs = 200;

  QueryResult NormalModeQuery(const std::string& path, DeviceRecord* record) override;
  QueryResult UpdateModeQuery(const std::string& path, DeviceRecord* record) override;
};

enum class Detection { kNone = 0, kUpdateMode = 1, kNormalMode = 2 };

struct DetectOutcome {
  Detection result = Detection::kNone;
  // A matching device this user may not open, when detection found none it could use.
  std::string denied_path;
};

// Walks `entries` in order and settles on the first RQ700 that answers. Devices of
// another vendor, release or product are passed over, as is a device in normal mode that
// does not answer; a device in update mode that does not answer ends the walk with
// nothing found. Fills `record` with the last candidate looked at.
DetectOutcome Detect(const std::vector<DeviceEntry>& entries, DeviceQueries& queries,
                     DeviceRecord* record);

// True when the device reports exactly the firmware version the editor works with.
bool VersionAccepted(const DeviceRecord& record);

// The report bytes of the normal-mode query (command 0x84 with payload 00 00) and of the
// update-mode wake-up and identity request, as written to the device.
void BuildNormalQueryReport(uint8_t* report);
void BuildWakeUpReport(uint8_t* report);
void BuildIdentityRequestReport(uint8_t* report);

// Takes the answer fields from their fixed places in one input report.
bool TakeNormalModeAnswer(const uint8_t* report, DeviceRecord* record);
void TakeUpdateModeAnswer(const uint8_t* report, DeviceRecord* record);

}  // namespace rq700

#endif  // RQ700_LAUNCHER_DETECT_H_
