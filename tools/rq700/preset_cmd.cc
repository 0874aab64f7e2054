// rq700 preset check / show.
#include <cstdio>
#include <string>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/panel_layout.h"
#include "files/preset_diff.h"
#include "files/preset_file.h"
#include "protocol/preset_record.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {

namespace {

using catalog::PanelControl;
using catalog::Source;

bool LoadPreset(const Args& args, files::CPresetFileRq700* file, int* error) {
  *error = 0;
  return file->Load(args[0], error);
}

std::string ControlLabel(int module, const PanelControl& c) {
  using catalog::ValueKind;
  switch (c.kind) {
    case ValueKind::kMicrophone:
      return "MIC";
    case ValueKind::kPowerTube:
      return "TUBE";
    case ValueKind::kSyncNote:
      return c.index == 6 ? "SYNC B" : "SYNC";
    case ValueKind::kFrequency:
      return "FREQ" + std::to_string(c.index);
    default:
      break;
  }
  if (module == catalog::kDelay) {
    const char* names[] = {"LEVEL", "F.BACK", "TIME", "SYNC", "THRE", "SYNC B"};
    if (c.source == Source::kDelayTimeB) return "TIME B";
    return names[c.index - 1];
  }
  return "P" + std::to_string(c.index);
}

std::string Name(const uint8_t* rec) {
  return catalog::DeviceNameToUtf8(rec + record::kName, record::kNameSize);
}

}  // namespace

int PresetCheck(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 preset check FILE");
  files::CPresetFileRq700 file;
  int error = 0;
  if (!LoadPreset(args, &file, &error)) {
    std::fprintf(stderr, "error %d\n", error);
    return 1;
  }
  std::printf("ok\n");
  return 0;
}

int PresetShow(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 preset show FILE");
  files::CPresetFileRq700 file;
  int error = 0;
  if (!LoadPreset(args, &file, &error)) {
    std::fprintf(stderr, "error %d\n", error);
    return 1;
  }
  uint8_t rec[record::kSize];
  file.ReadBody(rec, sizeof(rec));
  const catalog::UserSlotNames slots;

  std::printf("name: %s\n", Name(rec).c_str());
  std::printf("chain:");
  for (int pos = 0; pos < record::kModuleCount; ++pos) {
    const int module = rec[record::kChainOrder + pos];
    const std::string name = catalog::IsModule(module) ? std::string(catalog::ModuleName(module))
                                                       : "?" + std::to_string(module);
    std::printf(" %s(%s)", name.c_str(), rec[record::kChainOff + pos] ? "off" : "on");
  }
  std::printf("\n");
  for (int module = 1; module <= record::kModuleCount; ++module) {
    const size_t slot = record::ModuleSlot(module);
    int model = rec[slot + record::kSlotModel];
    if (model == 0) model = 1;  // no model loads as the first
    const std::string model_name = slots.ModelName(module, model);
    std::printf(
        "%s: %s %s", std::string(catalog::ModuleName(module)).c_str(),
        model_name.empty() ? ("model " + std::to_string(model)).c_str() : model_name.c_str(),
        rec[slot + record::kSlotEnable] == 1 ? "on" : "off");
    const catalog::PanelLayout layout = catalog::GetPanelLayout(module, model);
    for (int i = 0; i < layout.count; ++i) {
      const PanelControl& c = layout.controls[i];
      std::printf(
          " %s=%s", ControlLabel(module, c).c_str(),
          catalog::FormatControlValue(c, files::StoredControlValue(rec, module, c)).c_str());
    }
    std::printf("\n");
  }
  std::printf("volume: %d\n", rec[record::kVolume]);
  std::printf("exp switch: %s\n", rec[record::kExpSwitch] ? "on" : "off");
  const size_t exp_fields[2][2] = {{record::kExp1Module, record::kExp1Param},
                                   {record::kExp2Module, record::kExp2Param}};
  for (int pedal = 1; pedal <= 2; ++pedal) {
    const auto& f = exp_fields[pedal - 1];
    const auto lines = catalog::ExpTargetText(pedal, false, rec[f[0]] + 1, rec[f[1]]);
    if (lines.shown) {
      std::printf("%s %s\n", lines.first.c_str(), lines.second.c_str());
    } else {
      std::printf("%s: none\n", pedal == 1 ? "EXP" : "EXP2");
    }
  }
  return 0;
}

}  // namespace rq700::tool
