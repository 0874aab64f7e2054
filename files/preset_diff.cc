#include "files/preset_diff.h"

#include <array>

#include "catalog/labels.h"
#include "catalog/modules.h"
#include "catalog/panel_labels.h"
#include "protocol/preset_record.h"

namespace rq700::files {
namespace {

using catalog::PanelControl;
using catalog::PanelLayout;
using catalog::Source;

// Record bytes a difference line has spoken for; what is left is counted at the end.
using Covered = std::array<bool, record::kSize>;

int DelayWord(const uint8_t* rec, int n) {
  switch (n) {
    case 1:
      return rec[record::kDelayWord1];
    case 2:
      return rec[record::kDelayWord2];
    case 3:
      return record::ReadWord(rec, record::kDelayTimeWord);
    case 4:
      return rec[record::kDelayWord4];
    case 5:
      return rec[record::kDelayWord5];
    default:
      return rec[record::kDelayWord6];
  }
}

// Where a control's value lies in the record: first byte and width.
std::pair<size_t, size_t> StoredAt(int module, const PanelControl& c) {
  const size_t slot = record::ModuleSlot(module);
  switch (c.source) {
    case Source::kParamByte:
      return {slot + record::kSlotParams + static_cast<size_t>(c.index - 1), 1};
    case Source::kDelayTimeB:
      return {record::kDelayTimeBWord, 2};
    case Source::kModuleWord:
      break;
  }
  if (module == catalog::kEq) return {record::kEqWords + 2 * static_cast<size_t>(c.index - 1), 2};
  if (module == catalog::kMod) return {record::kModWord, 2};
  constexpr size_t kDelayAt[7] = {0,
                                  record::kDelayWord1,
                                  record::kDelayWord2,
                                  record::kDelayTimeWord,
                                  record::kDelayWord4,
                                  record::kDelayWord5,
                                  record::kDelayWord6};
  return {kDelayAt[c.index], c.index == 3 ? 2u : 1u};
}

void Cover(Covered& covered, size_t at, size_t size) {
  for (size_t i = at; i < at + size && i < covered.size(); ++i) covered[i] = true;
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

std::string ModuleText(int module) {
  return catalog::IsModule(module) ? std::string(catalog::ModuleName(module))
                                   : "?" + std::to_string(module);
}

int ModelOf(const uint8_t* rec, int module) {
  const int model = rec[record::ModuleSlot(module) + record::kSlotModel];
  return model == 0 ? 1 : model;  // no model loads as the first
}

std::string ModelText(const catalog::UserSlotNames& slots, int module, int model) {
  const std::string name = slots.ModelName(module, model);
  return name.empty() ? "model " + std::to_string(model) : name;
}

// A control as one record's model shows it; "-" where that model has no such control.
struct Shown {
  bool present = false;
  int stored = 0;
  std::string text = "-";
  std::string label;
};

Shown ShownBy(const uint8_t* rec, int module, const PanelLayout& layout, int model,
              const PanelControl& key) {
  Shown shown;
  for (int i = 0; i < layout.count; ++i) {
    const PanelControl& c = layout.controls[i];
    if (c.source != key.source || c.index != key.index) continue;
    shown.present = true;
    shown.stored = StoredControlValue(rec, module, c);
    shown.text = catalog::FormatControlValue(c, shown.stored);
    // A list choice past its table has no name: its number then.
    if (shown.text.empty()) shown.text = "?" + std::to_string(shown.stored);
    shown.label = std::string(catalog::ControlLabel(module, model, i));
    break;
  }
  return shown;
}

void DiffModule(const uint8_t* a, const uint8_t* b, int module, const catalog::UserSlotNames& slots,
                Covered& covered, std::vector<std::string>& lines) {
  const std::string name = ModuleText(module);
  const size_t slot = record::ModuleSlot(module);
  const int model_a = ModelOf(a, module), model_b = ModelOf(b, module);
  Cover(covered, slot + record::kSlotModel, 1);
  if (model_a != model_b) {
    lines.push_back(name + " model: " + ModelText(slots, module, model_a) + " -> " +
                    ModelText(slots, module, model_b));
  }
  const bool on_a = a[slot + record::kSlotEnable] == 1, on_b = b[slot + record::kSlotEnable] == 1;
  if (on_a != on_b) lines.push_back(name + ": " + OnOff(on_a) + " -> " + OnOff(on_b));
  Cover(covered, slot + record::kSlotEnable, 1);

  // The second record's panel first, then what only the first one's shows.
  const PanelLayout layout_a = catalog::GetPanelLayout(module, model_a);
  const PanelLayout layout_b = catalog::GetPanelLayout(module, model_b);
  std::vector<PanelControl> keys(layout_b.controls.begin(),
                                 layout_b.controls.begin() + layout_b.count);
  for (int i = 0; i < layout_a.count; ++i) {
    const PanelControl& c = layout_a.controls[i];
    bool known = false;
    for (const PanelControl& k : keys) known |= k.source == c.source && k.index == c.index;
    if (!known) keys.push_back(c);
  }
  for (const PanelControl& key : keys) {
    const auto [at, size] = StoredAt(module, key);
    Cover(covered, at, size);
    const Shown in_a = ShownBy(a, module, layout_a, model_a, key);
    const Shown in_b = ShownBy(b, module, layout_b, model_b, key);
    if (in_a.present == in_b.present && in_a.stored == in_b.stored) continue;
    std::string text_a = in_a.text, text_b = in_b.text;
    // Two stored values the panel draws alike (a delay time past 2500 ms) are told apart.
    if (text_a == text_b) {
      text_a += " (" + std::to_string(in_a.stored) + ")";
      text_b += " (" + std::to_string(in_b.stored) + ")";
    }
    const std::string& label = in_b.present ? in_b.label : in_a.label;
    lines.push_back(name + " " + label + ": " + text_a + " -> " + text_b);
  }
}

std::string ExpText(const uint8_t* rec, int pedal) {
  const size_t module_at = pedal == 1 ? record::kExp1Module : record::kExp2Module;
  const size_t param_at = pedal == 1 ? record::kExp1Param : record::kExp2Param;
  const auto lines = catalog::ExpTargetText(pedal, false, rec[module_at] + 1, rec[param_at]);
  if (!lines.shown) return "none";
  if (lines.second.empty()) return lines.first + " ?" + std::to_string(rec[param_at]);
  return lines.first + " " + lines.second;
}

}  // namespace

int StoredControlValue(const uint8_t* rec, int module, const PanelControl& c) {
  switch (c.source) {
    case Source::kParamByte:
      return rec[record::ModuleSlot(module) + record::kSlotParams +
                 static_cast<size_t>(c.index - 1)];
    case Source::kDelayTimeB:
      return record::ReadWord(rec, record::kDelayTimeBWord);
    case Source::kModuleWord:
      if (module == catalog::kEq)
        return record::ReadWord(rec, record::kEqWords + 2 * (c.index - 1));
      if (module == catalog::kMod) return record::ReadWord(rec, record::kModWord);
      return DelayWord(rec, c.index);
  }
  return 0;
}

std::vector<std::string> DiffPresets(const uint8_t* a, const uint8_t* b,
                                     const catalog::UserSlotNames& slots) {
  std::vector<std::string> lines;
  Covered covered{};

  const std::string name_a = catalog::DeviceNameToUtf8(a + record::kName, record::kNameSize);
  const std::string name_b = catalog::DeviceNameToUtf8(b + record::kName, record::kNameSize);
  if (name_a != name_b) lines.push_back("name: \"" + name_a + "\" -> \"" + name_b + "\"");
  Cover(covered, record::kName, record::kNameSize);

  for (int pos = 0; pos < record::kModuleCount; ++pos) {
    const size_t order = record::kChainOrder + pos, off = record::kChainOff + pos;
    Cover(covered, order, 1);
    Cover(covered, off, 1);
    if (a[order] == b[order] && (a[off] != 0) == (b[off] != 0)) continue;
    lines.push_back("chain " + std::to_string(pos + 1) + ": " + ModuleText(a[order]) + " " +
                    OnOff(a[off] == 0) + " -> " + ModuleText(b[order]) + " " + OnOff(b[off] == 0));
  }

  for (int module = 1; module <= record::kModuleCount; ++module)
    DiffModule(a, b, module, slots, covered, lines);

  Cover(covered, record::kVolume, 1);
  if (a[record::kVolume] != b[record::kVolume]) {
    lines.push_back("volume: " + std::to_string(a[record::kVolume]) + " -> " +
                    std::to_string(b[record::kVolume]));
  }
  Cover(covered, record::kExpSwitch, 1);
  if ((a[record::kExpSwitch] != 0) != (b[record::kExpSwitch] != 0)) {
    lines.push_back("exp switch: " + OnOff(a[record::kExpSwitch] != 0) + " -> " +
                    OnOff(b[record::kExpSwitch] != 0));
  }
  for (int pedal = 1; pedal <= 2; ++pedal) {
    Cover(covered, pedal == 1 ? record::kExp1Module : record::kExp2Module, 2);
    const std::string text_a = ExpText(a, pedal), text_b = ExpText(b, pedal);
    if (text_a != text_b)
      lines.push_back(std::string(pedal == 1 ? "EXP" : "EXP2") + ": " + text_a + " -> " + text_b);
  }
  for (int module = 1; module <= record::kModuleCount; ++module) {
    const size_t at = record::kModuleSwitch + static_cast<size_t>(module - 1);
    Cover(covered, at, 1);
    if ((a[at] != 0) != (b[at] != 0)) {
      lines.push_back("switch " + ModuleText(module) + ": " + OnOff(a[at] != 0) + " -> " +
                      OnOff(b[at] != 0));
    }
  }

  // Whatever the lines above did not name, and the differences they print alike (a name's
  // bytes after its end, a switch of 1 against 2), still makes the presets differ.
  int other = 0;
  for (size_t i = 0; i < record::kSize; ++i) {
    if (a[i] != b[i] && (!covered[i] || lines.empty())) ++other;
  }
  if (other > 0) lines.push_back("other stored bytes: " + std::to_string(other) + " differ");
  return lines;
}

}  // namespace rq700::files
