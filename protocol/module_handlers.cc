#include "protocol/handlers.h"
#include "protocol/module_encoders.h"

namespace rq700 {
namespace {

uint16_t BigEndianWord(const uint8_t* bytes) {
  return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

// Bytes before the module's words: enable, model and the parameter values, two each.
size_t ValueBytes(int type) { return 4 + 2 * static_cast<size_t>(kModuleParamCount[type]); }

}  // namespace

size_t ModulePayloadNeeded(int type, const uint8_t* payload, size_t size) {
  switch (type) {
    case kEq:
      return ValueBytes(type) + 6;
    case kDelay: {
      if (size < 4) return 4;
      const uint8_t model = static_cast<uint8_t>(BigEndianWord(payload + 2));
      return model == 9 ? 16 : model == 8 ? 14 : 12;
    }
    default:
      // MOD's word follows only for model 10; a shorter message leaves the word alone.
      return ValueBytes(type);
  }
}

void HandleModule(HandlerContext& c, uint8_t command, const uint8_t* p, size_t size) {
  const int type = ModuleOfCommand(command);
  if (type == 0 || size < ModulePayloadNeeded(type, p, size)) return;
  DeviceState& s = c.state;
  ModuleFields& m = s.module[type];
  m.enable.SetBoth(p[1]);
  uint16_t model = BigEndianWord(p + 2);
  if (model == 0) model = 1;
  m.model.SetBoth(static_cast<uint8_t>(model));
  for (int i = 0; i < kModuleParamCount[type]; ++i) m.param[i].SetBoth(p[5 + 2 * i]);
  switch (type) {
    case kEq:
      for (int i = 0; i < 3; ++i) s.eq_word[i].SetBoth(BigEndianWord(p + 16 + 2 * i));
      break;
    case kMod:
      if (size >= 14) s.mod_word.SetBoth(BigEndianWord(p + 12));
      break;
    case kDelay:
      for (int i = 1; i <= 4; ++i) s.delay_word[i].SetBoth(BigEndianWord(p + 2 + 2 * i));
      if (m.model.Get() == 9) {
        s.delay_time_b.SetBoth(BigEndianWord(p + 12));
        s.delay_word[6].SetBoth(BigEndianWord(p + 14));
      } else if (m.model.Get() == 8) {
        s.delay_word[5].SetBoth(BigEndianWord(p + 12));
      }
      break;
    default:
      break;
  }
  SetChainOffFromEnable(s, type);
}

}  // namespace rq700
