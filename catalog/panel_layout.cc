#include "catalog/panel_layout.h"

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/value_format.h"

namespace rq700::catalog {

namespace {

// Slider bars of the panels: the middle column (four rows), then a left and a right
// column of three rows each, numbered on from the middle one.
constexpr int kMiddle = 4;
constexpr int kLeft = 8;
constexpr int kRight = 11;

// List fields (hit rectangle, item id).
struct Field {
  int rect, id;
};
constexpr Field kMicrophoneField{77, 117};
constexpr Field kPowerTubeField{89, 118};
constexpr Field kSyncField{78, 169};
constexpr Field kSyncAField{79, 177};
constexpr Field kSyncBField{80, 183};

constexpr PanelControl Byte(int index, int max = 100, ValueKind kind = ValueKind::kPlain,
                            int offset = 0) {
  // A byte beyond the slider's range is printed as stored; only MOD P1 is drawn clamped.
  return {Source::kParamByte, index, kind, 0, max, offset, 255};
}
constexpr PanelControl Word(int index, int min, int max, ValueKind kind, int offset = 0) {
  return {Source::kModuleWord, index, kind, min, max, offset, 65535};
}

constexpr PanelControl OnBar(PanelControl control, int slider, int id) {
  control.slider = slider;
  control.id = id;
  return control;
}
constexpr PanelControl InField(PanelControl control, Field field) {
  control.field_rect = field.rect;
  control.id = field.id;
  return control;
}

void Add(PanelLayout& layout, PanelControl control) {
  if (layout.count < kMaxPanelControls) layout.controls[layout.count++] = control;
}

// Parameter bytes first..last on consecutive bars from `slider`, bar ids from `id` in
// steps of two (each bar's value box takes the id between).
void AddBytes(PanelLayout& layout, int first, int last, int slider, int id) {
  for (int i = first; i <= last; ++i)
    Add(layout, OnBar(Byte(i), slider + i - first, id + 2 * (i - first)));
}

void DelayLayout(PanelLayout& layout, int model) {
  // Models 1..7 use the middle column; 8 and 9 the left column and the right one.
  const bool wide = model >= 8;
  const int slider = wide ? kLeft : kMiddle;
  const int id = wide ? 171 : 163;
  Add(layout, OnBar(Word(1, 0, 100, ValueKind::kPlain), slider, id));          // LEVEL
  Add(layout, OnBar(Word(2, 0, 100, ValueKind::kPlain), slider + 1, id + 2));  // F.BACK
  Add(layout, OnBar(Word(3, kDelayTimeMin, kDelayTimeMax, ValueKind::kDelayTime), slider + 2,
                    id + 4));  // TIME (A)
  Add(layout, InField(Word(4, 0, kSyncNoteCount - 1, ValueKind::kSyncNote),
                      model == 9 ? kSyncAField : kSyncField));
  if (model == 8) Add(layout, OnBar(Word(5, 0, 100, ValueKind::kPlain), kRight + 1, 179));  // THRE
  if (model == 9) {
    Add(layout, OnBar({Source::kDelayTimeB, 5, ValueKind::kDelayTime, kDelayTimeMin, kDelayTimeMax,
                       0, kDelayTimeMax},
                      kRight + 1, 181));
    Add(layout, InField(Word(6, 0, kSyncNoteCount - 1, ValueKind::kSyncNote), kSyncBField));
  }
}

void ModLayout(PanelLayout& layout, int model) {
  switch (model) {
    case 9:
    case 20:
      Add(layout, OnBar(Byte(1, 240, ValueKind::kTenths, 120), kMiddle, 153));
      AddBytes(layout, 2, 3, kMiddle + 1, 155);
      return;
    case 10:
      Add(layout, OnBar(Word(1, 0, 400, ValueKind::kTenths, 200), kMiddle, 159));
      AddBytes(layout, 2, 3, kMiddle + 1, 155);
      return;
    case 12:
    case 13:
      AddBytes(layout, 1, 3, kMiddle, 153);
      Add(layout, OnBar(Byte(4), kMiddle + 3, 161));
      return;
    case 18:
      AddBytes(layout, 1, 2, kMiddle, 153);
      return;
    default: {
      // P1 may hold more than 100 for other models; it is drawn no further than 100.
      PanelControl p1 = OnBar(Byte(1), kMiddle, 153);
      p1.display_max = 100;
      Add(layout, p1);
      AddBytes(layout, 2, 3, kMiddle + 1, 155);
      return;
    }
  }
}

void EqLayout(PanelLayout& layout, int model) {
  if (model == 4) {
    // Gains on the left column, their band frequencies on the right one.
    for (int band = 0; band < 3; ++band) {
      Add(layout, OnBar(Byte(1 + 2 * band, kEqGainMax, ValueKind::kCustomEqGain, 12), kLeft + band,
                        141 + 2 * band));
      Add(layout, OnBar(Word(1 + band, kEqFrequencyMin, kEqFrequencyMax, ValueKind::kFrequency),
                        kRight + band, 147 + 2 * band));
    }
    return;
  }
  const int bands = model == 3 ? 6 : 5;
  for (int i = 1; i <= bands; ++i)
    Add(layout, OnBar(Byte(i, kEqGainMax, ValueKind::kEqGainDb), kLeft + i - 1, 129 + 2 * (i - 1)));
}

}  // namespace

PanelLayout GetPanelLayout(int module, int model) {
  PanelLayout layout;
  if (model < 1 || model > ModelCount(module)) return layout;
  switch (module) {
    case kFxComp:
      AddBytes(layout, 1, 4, kMiddle, 91);
      break;
    case kDsOd:
      AddBytes(layout, 1, 3, kMiddle, 99);
      break;
    case kAmp:
      AddBytes(layout, 1, 6, kLeft, 105);
      break;
    case kCab:
      if (model < kFirstUserIrModel) {
        Add(layout,
            InField(Byte(1, kMicrophoneCount - 1, ValueKind::kMicrophone), kMicrophoneField));
        AddBytes(layout, 2, 3, kMiddle + 2, 119);
      } else {
        layout.microphone_blanked = true;
      }
      Add(layout, InField(Byte(4, kPowerTubeCount - 1, ValueKind::kPowerTube), kPowerTubeField));
      break;
    case kNs:
      AddBytes(layout, 1, model == 3 ? 3 : 1, kMiddle, 123);
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
      AddBytes(layout, 1, 4, kMiddle, 185);
      break;
  }
  return layout;
}

int SliderBase(const PanelControl& control) {
  return control.kind == ValueKind::kFrequency ? 0 : control.min;
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
