#include "files/slot_job.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "catalog/models.h"
#include "files/slot_name.h"

namespace rq700::files {

SlotTransferJob::SlotTransferJob(DeviceState& state, SlotTransfer& transfer, int stages, int slot)
    : state_(state), transfer_(transfer), stages_(stages), slot_(slot) {}

bool SlotTransferJob::Start() {
  if (!prepared_ || started_ || slot_ < 0 || slot_ >= kUserSlots) return false;
  if (transfer_.active.load(std::memory_order_acquire) != 0) return false;
  std::copy(words_.begin(), words_.end(), transfer_.words);
  std::memset(transfer_.name, 0, kUserNameSize);
  std::memcpy(transfer_.name, name_.data(), std::min<size_t>(name_.size(), kUserNameSize));
  transfer_.slot = static_cast<uint8_t>(slot_);
  {
    // A transfer given up at some stage leaves that stage as the last one sent; the same
    // stage of this one must still go out.
    std::lock_guard<std::mutex> lock(state_.edit_lock);
    transfer_.stage_sent = 0;
    transfer_.stage = 1;
  }
  started_ = true;
  transfer_.active.store(1, std::memory_order_release);
  return true;
}

std::optional<JobResult> SlotTransferJob::Result() const {
  const int abandoned = abandoned_.load();
  if (abandoned >= 0) return static_cast<JobResult>(abandoned);
  if (!started_ || transfer_.active.load(std::memory_order_acquire) != 0) return std::nullopt;
  if (!name_shown_.exchange(true)) {
    const std::string shown = SlotDisplayName(name_);
    ShowName(
        catalog::DeviceNameToUtf8(reinterpret_cast<const uint8_t*>(shown.data()), shown.size()));
  }
  return JobResult::kDone;
}

int SlotTransferJob::Percent() const {
  if (Result() == JobResult::kDone) return 100;
  const int stage = transfer_.stage.load();
  return stage <= 1 ? 0 : (stage - 1) * 100 / stages_;
}

uint64_t SlotTransferJob::Activity() const { return static_cast<uint64_t>(transfer_.stage.load()); }

void SlotTransferJob::Abandon(JobResult result) {
  if (!started_ || Result()) return;
  std::lock_guard<std::mutex> lock(state_.edit_lock);
  abandoned_ = static_cast<int>(result);
  transfer_.active.store(0, std::memory_order_release);
  transfer_.stage = 0;
}

}  // namespace rq700::files
