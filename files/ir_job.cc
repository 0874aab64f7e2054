#include "files/ir_job.h"

#include "files/ir_converter.h"
#include "files/wav_reader.h"

namespace rq700::files {

bool IrLoadJob::Prepare(const std::string& path) {
  WavReader wav;
  std::array<uint32_t, kIrWordCount> samples;
  if (!wav.Read(path) || !ConvertImpulseResponse(wav, &samples)) return false;
  std::copy(samples.begin(), samples.end(), words_.begin());
  name_ = wav.slot_name();
  prepared_ = true;
  return true;
}

void IrLoadJob::ShowName(const std::string& name) const { SetUserIrName(state_, slot(), name); }

bool IrDeleteJob::Start() {
  if (started_ || slot_ < 0 || slot_ >= kUserSlots) return false;
  if (state_.ir.active.load(std::memory_order_acquire) != 0 || state_.ir_select_request.load() != 0)
    return false;
  SetUserIrName(state_, slot_, kEmptySlotName);
  state_.ir.slot = static_cast<uint8_t>(slot_);
  started_ = true;
  state_.ir_select_request = 1;
  return true;
}

std::optional<JobResult> IrDeleteJob::Result() const {
  const int abandoned = abandoned_.load();
  if (abandoned >= 0) return static_cast<JobResult>(abandoned);
  if (!started_ || state_.ir_select_request.load() != 0) return std::nullopt;
  return JobResult::kDone;
}

void IrDeleteJob::Abandon(JobResult result) {
  if (!started_ || Result()) return;
  abandoned_ = static_cast<int>(result);
  state_.ir_select_request = 0;
}

}  // namespace rq700::files
