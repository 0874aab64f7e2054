#include "protocol/module_encoders.h"

namespace rq700 {

void EncodeModule(const DeviceState& s, int type, PayloadWriter& out) {
  const ModuleFields& m = s.module[type];
  const uint8_t model = m.model.Get() == 0 ? 1 : m.model.Get();
  out.Value(m.enable.Get());
  out.Value(model);
  for (int p = 0; p < kModuleParamCount[type]; ++p) out.Value(m.param[p].Get());
  switch (type) {
    case kEq:
      for (const auto& word : s.eq_word) out.Word(word.Get());
      break;
    case kMod:
      if (model == 10) out.Word(s.mod_word.Get());
      break;
    case kDelay:
      for (int i = 1; i <= 4; ++i) out.Word(s.delay_word[i].Get());
      if (model == 9) {
        out.Word(s.delay_time_b.Get());
        out.Word(s.delay_word[6].Get());
      } else {
        out.Word(s.delay_word[5].Get());
        out.Word(2);
      }
      break;
    default:
      break;
  }
}

}  // namespace rq700
