#ifndef RQ700_FILES_SLOT_JOB_H_
#define RQ700_FILES_SLOT_JOB_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "files/job_context.h"
#include "protocol/device_state.h"

namespace rq700::files {

// A transfer into a user slot, impulse response or amplifier: the 512 words go to the
// device in byte planes and then the name, each stage sent once the device took the one
// before. When the device has taken the name, the slot shows the name in upper case.
class SlotTransferJob : public DeviceJob {
 public:
  int slot() const { return slot_; }
  // The name the slot gets (Latin-1, up to 15 bytes), once prepared.
  const std::string& name() const { return name_; }
  const std::array<uint32_t, kTransferWords>& words() const { return words_; }

  // Hands the prepared words and name to the transfer channel and raises its first stage.
  // False, and nothing is sent, while a transfer of the same kind runs or when nothing is
  // prepared.
  bool Start();

  std::optional<JobResult> Result() const override;
  int Percent() const override;
  uint64_t Activity() const override;
  void Abandon(JobResult result) override;

 protected:
  SlotTransferJob(DeviceState& state, SlotTransfer& transfer, int stages, int slot);
  // Shows the new name in the slot's model list entry.
  virtual void ShowName(const std::string& utf8_display_name) const = 0;

  DeviceState& state_;
  std::array<uint32_t, kTransferWords> words_{};
  std::string name_;
  bool prepared_ = false;

 private:
  SlotTransfer& transfer_;
  const int stages_;
  const int slot_;
  bool started_ = false;
  std::atomic<int> abandoned_{-1};
  mutable std::atomic<bool> name_shown_{false};
};

}  // namespace rq700::files

#endif  // RQ700_FILES_SLOT_JOB_H_
