#include "files/firmware_builder.h"

#include <cstring>

#include "files/byte_order.h"

namespace rq700::files {

std::vector<uint8_t> BuildFirmwareImage(const FirmwareImagePlan& plan) {
  if (plan.segments.empty() || plan.segments.size() > 127 || plan.model.size() > 32) return {};
  std::vector<uint8_t> out(kFirmwareHeaderSize, 0);
  std::memcpy(out.data(), kFirmwareMagic.data(), kFirmwareMagic.size());
  std::memcpy(out.data() + kFwModel, plan.model.data(), plan.model.size());
  out[kFwApplyCommand] = plan.apply_command;
  out[kFwApplyReply] = plan.apply_reply;
  PutLe32(out.data() + kFwApplyTimeout, plan.apply_timeout);
  out[kFwSegmentCount] = static_cast<uint8_t>(plan.segments.size());
  std::memcpy(out.data() + kFwApplyParam, plan.apply_param, 4);

  size_t previous = 0;
  for (size_t i = 0; i < plan.segments.size(); ++i) {
    const FirmwareSegmentPlan& seg = plan.segments[i];
    const size_t descriptor = out.size();
    if (i > 0)
      PutLe32(out.data() + previous + kFwNextDescriptor, static_cast<uint32_t>(descriptor));
    out.resize(descriptor + kFirmwareDescriptorSize, 0);
    uint8_t* d = out.data() + descriptor;
    const size_t data = descriptor + kFirmwareDescriptorSize;
    PutLe32(d + kFwDataPosition, static_cast<uint32_t>(data + 1));
    PutLe32(d + kFwSegmentLength, static_cast<uint32_t>(seg.data.size()));
    d[kFwDataCommand] = seg.data_command;
    d[kFwSegmentReply] = seg.reply;
    PutLe32(d + kFwBlockTimeout, seg.block_timeout);
    PutLe16(d + kFwFirstBlock, seg.first_block);
    out.insert(out.end(), seg.data.begin(), seg.data.end());
    previous = descriptor;
  }
  return out;
}

}  // namespace rq700::files
