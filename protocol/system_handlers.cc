#include <mutex>

#include "protocol/handlers.h"

namespace rq700 {
namespace {

void SetUserNames(DeviceState& s, std::string (&names)[kUserSlots], const uint8_t* payload) {
  std::string texts[kUserSlots];
  for (int i = 0; i < kUserSlots; ++i)
    texts[i] = Latin1Text(payload + kUserNameSize * i, kUserNameSize);
  std::lock_guard<std::mutex> lock(s.text_lock);
  for (int i = 0; i < kUserSlots; ++i) names[i] = std::move(texts[i]);
}

}  // namespace

void HandleVersion(HandlerContext& c, const uint8_t* p, size_t) {
  std::string text = "Version " + Latin1Text(p, 5);
  std::lock_guard<std::mutex> lock(c.state.text_lock);
  c.state.version_text = std::move(text);
}

void HandlePageSync(HandlerContext& c, const uint8_t* p, size_t) {
  DeviceState& s = c.state;
  {
    std::lock_guard<std::mutex> lock(s.edit_lock);
    if (p[0] != 0) {
      s.selected_module.SetBoth(p[0]);
    } else if (s.selected_module.Sent() != kModuleResend) {
      // Back to the module the device knows. Right after a module send that is marked
      // for resending and names no module: the current one stands and goes out next.
      s.selected_module.Set(s.selected_module.Sent());
    }
    switch (p[1]) {
      case 0:
        s.active_item.Set(0);
        break;
      case 1:
        s.active_item.Set(kItemSystemPage);
        break;
      case 2:
        s.active_item.Set(kItemCtrlPage);
        break;
      case 3:
        s.active_item.Set(kItemExpPage);
        if (p[2] == 1) {
          s.active_sub_item.Set(kSubItemExpSettings);
          s.exp_settings_marker = 1;
        } else {
          s.active_sub_item.Set(kItemNone);
          s.exp_settings_marker = 0;
        }
        break;
      default:
        return;
    }
  }
  // Outside the lock: the window may take its time.
  c.window.HideValueEntry();
}

void HandleUserIrNames(HandlerContext& c, const uint8_t* p, size_t) {
  SetUserNames(c.state, c.state.user_ir_names, p);
}

void HandleUserAmpNames(HandlerContext& c, const uint8_t* p, size_t) {
  SetUserNames(c.state, c.state.user_amp_names, p);
}

void HandleSecondConfirmation(HandlerContext& c, const uint8_t* p, size_t) {
  c.state.second_confirmation.SetBoth(p[0]);
}

void HandleChain(HandlerContext& c, const uint8_t* p, size_t) {
  for (int pos = 0; pos < kChainLength; ++pos) {
    c.state.chain_order[pos].SetBoth(p[pos]);
    c.state.chain_off[pos].SetBoth(p[kChainLength + pos]);
  }
}

void HandleSystem(HandlerContext& c, const uint8_t* p, size_t) {
  for (int i = 0; i < kSystemBytes; ++i) c.state.system[i].SetBoth(p[i]);
}

void HandleVolume(HandlerContext& c, const uint8_t* p, size_t) { c.state.volume.SetBoth(p[0]); }

void HandleExpSettings(HandlerContext& c, const uint8_t* p, size_t) {
  DeviceState& s = c.state;
  s.exp_switch.SetBoth(p[0]);
  s.exp1_module.SetBoth(static_cast<uint8_t>(p[1] + 1));
  if (auto* entry = ExpParamEntry(s.exp1_param, s.exp1_module.Get())) entry->SetBoth(p[2]);
  s.exp2_module.SetBoth(static_cast<uint8_t>(p[3] + 1));
  if (auto* entry = ExpParamEntry(s.exp2_param, s.exp2_module.Get())) entry->SetBoth(p[4]);
  s.exp_low.SetBoth(p[5]);
  s.exp_high.SetBoth(p[6]);
}

void HandleTempo(HandlerContext& c, const uint8_t* p, size_t) {
  c.state.tempo.SetBoth((p[0] << 8) | p[1]);
  for (int type = 1; type <= kModuleTypes; ++type) {
    c.state.module_switch[type].SetBoth(p[1 + type]);
  }
}

void HandleExpMerge(HandlerContext& c, const uint8_t* p, size_t) {
  c.state.exp_merge[0] = p[0] != 0 ? 1 : 0;
  c.state.exp_merge[1] = p[1] != 0 ? 1 : 0;
}

}  // namespace rq700
