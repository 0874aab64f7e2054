#ifndef RQ700_FILES_AMP_JOB_H_
#define RQ700_FILES_AMP_JOB_H_

#include <string>

#include "files/slot_job.h"

namespace rq700::files {

// An amplifier file (.amp) into user amplifier slot 0..9 (0xE2: four byte planes of the
// 512 words, then the name).
class AmpLoadJob final : public SlotTransferJob {
 public:
  AmpLoadJob(DeviceState& state, int slot) : SlotTransferJob(state, state.amp, 4, slot) {}
  // Reads and checks the file and takes its slot name; false for a file that fails.
  bool Prepare(const std::string& utf8_path);

 private:
  void ShowName(const std::string& utf8_display_name) const override;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_AMP_JOB_H_
