#ifndef RQ700_FILES_IR_JOB_H_
#define RQ700_FILES_IR_JOB_H_

#include <optional>
#include <string>

#include "files/slot_job.h"

namespace rq700::files {

// An impulse response from a WAV file into user cabinet slot 0..9 (0xE1: three byte
// planes of the 512 converted samples, then the name).
class IrLoadJob final : public SlotTransferJob {
 public:
  IrLoadJob(DeviceState& state, int slot) : SlotTransferJob(state, state.ir, 3, slot) {}
  // Reads and converts the file and takes its slot name. False for a file that cannot be
  // read, is no WAV file the device can take, or whose name does not fit the device.
  bool Prepare(const std::string& utf8_path);

 private:
  void ShowName(const std::string& utf8_display_name) const override;
};

// Clears user cabinet slot 0..9 (0xE4): the slot shows "EMPTY" at once; the job is done
// when the request has gone to the device, which does not acknowledge it.
class IrDeleteJob final : public DeviceJob {
 public:
  IrDeleteJob(DeviceState& state, int slot) : state_(state), slot_(slot) {}
  // False, and nothing changes, while an impulse response is being loaded or deleted.
  bool Start();

  std::optional<JobResult> Result() const override;
  int Percent() const override { return Result() ? 100 : 0; }
  uint64_t Activity() const override { return 0; }
  void Abandon(JobResult result) override;

 private:
  DeviceState& state_;
  const int slot_;
  bool started_ = false;
  std::atomic<int> abandoned_{-1};
};

inline constexpr const char* kEmptySlotName = "EMPTY";

}  // namespace rq700::files

#endif  // RQ700_FILES_IR_JOB_H_
