#include "catalog/panel_layout.h"

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/value_format.h"

namespace rq700::catalog {

namespace {

constexpr PanelControl Byte(int index, int max = 100, ValueKind kind = ValueKind::kPlain,
                            int offset = 0) {
  // A byte beyond the slider's range is printed as stored; only MOD P1 is drawn clamped.
  return {Source::kParamByte, index, kind, 0, max, offset, 255};
}
constexpr PanelControl Word(int index, int min, int max, ValueKind kind, int offset = 0) {
  return {Source::kModuleWord, index, kind, min, max, offset, 65535};
}

void Add(PanelLayout& layout, PanelControl control) {
  if (layout.count < kMaxPanelControls) layout.controls[layout.count++] = control;
}

void AddBytes(PanelLayout& layout, int first, int last) {
  for (int i = first; i <= last; ++i) Add(layout, Byte(i));
}

void DelayLayout(PanelLayout& layout, int model) {
  Add(layout, Word(1, 0, 100, ValueKind::kPlain));                            // LEVEL
  Add(layout, Word(2, 0, 100, ValueKind::kPlain));                            // F.BACK
  Add(layout, Word(3, kDelayTimeMin, kDelayTimeMax, ValueKind::kDelayTime));  // TIME (A)
  Add(layout, Word(4, 0, kSyncNoteCount - 1, ValueKind::kSyncNote));
  if (model == 8) Add(layout, Word(5, 0, 100, ValueKind::kPlain));  // THRE
  if (model == 9) {
    Add(layout, {Source::kDelayTimeB, 5, ValueKind::kDelayTime, kDelayTimeMin, kDelayTimeMax, 0,
                 kDelayTimeMax});
    Add(layout, Word(6, 0, kSyncNoteCount - 1, ValueKind::kSyncNote));
  }
}

void ModLayout(PanelLayout& layout, int model) {
  switch (model) {
    case 9:
    case 20:
      Add(layout, Byte(1, 240, ValueKind::kTenths, 120));
      AddBytes(layout, 2, 3);
      return;
    case 10:
      Add(layout, Word(1, 0, 400, ValueKind::kTenths, 200));
      AddBytes(layout, 2, 3);
      return;
    case 12:
    case 13:
      AddBytes(layout, 1, 4);
      return;
    case 18:
      AddBytes(layout, 1, 2);
      return;
    default: {
      // P1 may hold more than 100 for other models; it is drawn no further than 100.
      PanelControl p1 = Byte(1);
      p1.display_max = 100;
      Add(layout, p1);
      AddBytes(layout, 2, 3);
      return;
    }
  }
}

void EqLayout(PanelLayout& layout, int model) {
  if (model == 4) {
    for (int band = 0; band < 3; ++band) {
      Add(layout, Byte(1 + 2 * band, kEqGainMax, ValueKind::kCustomEqGain, 12));
      Add(layout, Word(1 + band, kEqFrequencyMin, kEqFrequencyMax, ValueKind::kFrequency));
    }
    return;
  }
  const int bands = model == 3 ? 6 : 5;
  for (int i = 1; i <= bands; ++i) Add(layout, Byte(i, kEqGainMax, ValueKind::kEqGainDb));
}

}  // namespace

PanelLayout GetPanelLayout(int module, int model) {
  PanelLayout layout;
  if (model < 1 || model > ModelCount(module)) return layout;
  switch (module) {
    case kFxComp:
      AddBytes(layout, 1, 4);
      break;
    case kDsOd:
      AddBytes(layout, 1, 3);
      break;
    case kAmp:
      AddBytes(layout, 1, 6);
      break;
    case kCab:
      if (model < kFirstUserIrModel) {
        Add(layout, Byte(1, kMicrophoneCount - 1, ValueKind::kMicrophone));
        AddBytes(layout, 2, 3);
      } else {
        layout.microphone_blanked = true;
      }
      Add(layout, Byte(4, kPowerTubeCount - 1, ValueKind::kPowerTube));
      break;
    case kNs:
      AddBytes(layout, 1, model == 3 ? 3 : 1);
      break;
    case kEq:
      EqLayout(layout, model);
      break;
    case kMod:
      ModLayout(layout, model);
      break;
    case kDelay:
      DelayLayout(layout, model);
      break;
    case kReverb:
      AddBytes(layout, 1, 4);
      break;
  }
  return layout;
}

int DisplayValue(const PanelControl& control, int stored) {
  switch (control.kind) {
    case ValueKind::kDelayTime:
      return ClampDelayTime(stored);
    case ValueKind::kFrequency:
      return ClampEqFrequency(stored);
    default:
      return stored > control.display_max ? control.display_max : stored;
  }
}

std::string FormatControlValue(const PanelControl& control, int stored) {
  const int v = DisplayValue(control, stored);
  switch (control.kind) {
    case ValueKind::kEqGainDb:
      return FormatEqGainDb(v);
    case ValueKind::kCustomEqGain:
      return FormatCustomEqGain(v);
    case ValueKind::kTenths:
      return FormatTenths(v - control.offset);
    case ValueKind::kMicrophone:
      return std::string(MicrophoneName(v));
    case ValueKind::kPowerTube:
      return std::string(PowerTubeName(v));
    case ValueKind::kSyncNote:
      return std::string(SyncNoteName(v));
    default:
      return FormatPlain(v);
  }
}

}  // namespace rq700::catalog
