#include "protocol/system_encoders.h"

namespace rq700 {

void EncodePageSync(uint8_t a, uint8_t b, PayloadWriter& out) {
  out.Byte(a);
  out.Byte(b);
  out.Byte(0);
  out.Byte(0);
}

void EncodeVolume(const DeviceState& s, PayloadWriter& out) { out.Byte(s.volume.Get()); }

void EncodeChain(const DeviceState& s, PayloadWriter& out) {
  for (const auto& type : s.chain_order) out.Byte(type.Get());
  for (const auto& off : s.chain_off) out.Byte(off.Get());
}

void EncodeSystem(const DeviceState& s, PayloadWriter& out) {
  for (const auto& b : s.system) out.Byte(b.Get());
}

void EncodeExpSettings(const DeviceState& s, PayloadWriter& out) {
  const uint8_t exp1 = s.exp1_module.Get();
  const uint8_t exp2 = s.exp2_module.Get();
  const auto* entry1 = ExpParamEntry(s.exp1_param, exp1);
  const auto* entry2 = ExpParamEntry(s.exp2_param, exp2);
  out.Byte(s.exp_switch.Get());
  out.Byte(static_cast<uint8_t>(exp1 - 1));
  out.Byte(entry1 != nullptr ? entry1->Get() : 0);
  out.Byte(static_cast<uint8_t>(exp2 - 1));
  out.Byte(entry2 != nullptr ? entry2->Get() : 0);
  out.Byte(s.exp_low.Get());
  out.Byte(s.exp_high.Get());
}

void EncodeTempo(const DeviceState& s, PayloadWriter& out) {
  out.Word(static_cast<uint16_t>(s.tempo.Get() / 2));
  for (int type = 1; type <= kModuleTypes; ++type) out.Byte(s.module_switch[type].Get());
  out.Byte(s.tab_marker.load(std::memory_order_relaxed));
}

void EncodeSelectPreset(int preset_index, PayloadWriter& out) {
  out.Byte(static_cast<uint8_t>(preset_index));
}

void EncodeSaveName(const DeviceState& s, PayloadWriter& out) {
  out.Byte(s.save_target.load(std::memory_order_relaxed));
  for (const auto& b : s.save_name) out.Byte(b.load(std::memory_order_relaxed));
}

void EncodeExpChange(const DeviceState& s, PayloadWriter& out) {
  out.Byte(s.exp_tab.load(std::memory_order_relaxed) == 1 ? 1 : 2);
}

void EncodeSecondConfirmation(const DeviceState& s, PayloadWriter& out) {
  out.Byte(s.second_confirmation.Get());
}

}  // namespace rq700
