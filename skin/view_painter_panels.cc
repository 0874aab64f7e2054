// The module panel of the selected module: model name, illustration, sliders with their
// value texts, and the list fields of CAB and DELAY.

#include <algorithm>
#include <string>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/value_format.h"
#include "skin/view_layout.h"
#include "skin/view_painter.h"

namespace rq700 {

namespace L = layout;

namespace {

int StoredValue(const DeviceState& d, int type, const L::PanelSlider& s) {
  if (s.source == L::ParamSource::kByte) {
    return s.index >= 0 && s.index < kMaxModuleParams ? d.module[type].param[s.index].Get() : 0;
  }
  switch (type) {
    case L::kEq:
      return s.index >= 0 && s.index < 3 ? d.eq_word[s.index].Get() : 0;
    case L::kMod:
      return d.mod_word.Get();
    case L::kDelay:
      if (s.index >= 0 && s.index < 6) return d.delay_word[s.index + 1].Get();
      return d.delay_time_b.Get();
    default:
      return 0;
  }
}

// Models 27..36 of the cabinet are the user impulse responses: they have no microphone and
// no CENTER/DISTANCE.
bool IsUserCabinet(int model) { return model >= catalog::kFirstUserIrModel; }

// The three-knob MOD models print their P1 at most 100; the four-knob (12, 13) and
// two-knob (18) ones print it as stored.
bool ClampsModP1(int model) { return model != 12 && model != 13 && model != 18; }

}  // namespace

std::string ModelDisplayName(const DeviceState& d, int type, int model) {
  if (type == L::kAmp && model >= catalog::kFirstUserAmpModel &&
      model < catalog::kFirstUserAmpModel + catalog::kUserSlotCount) {
    const int slot = model - catalog::kFirstUserAmpModel;
    std::string name = UserAmpName(d, slot);
    return name.empty() ? "EMPTY" : name;
  }
  if (type == L::kCab && model >= catalog::kFirstUserIrModel &&
      model < catalog::kFirstUserIrModel + catalog::kUserSlotCount) {
    const int slot = model - catalog::kFirstUserIrModel;
    std::string name = UserIrName(d, slot);
    return name.empty() ? "IR-" + std::to_string(slot + 1) : name;
  }
  return std::string(catalog::FixedModelName(type, model));
}

void EditorViewPainter::PaintModulePanel(Canvas& c) {
  const int type = device_.selected_module.Get();
  if (type < 1 || type > 9) return;
  const int model = device_.module[type].model.Get();
  if (model >= 1 && model <= catalog::ModelCount(type))
    c.DrawText(7, 528, 187, ModelDisplayName(device_, type, model));
  const L::Illustration art = L::IllustrationFor(type, model);
  if (art.image) c.DrawImage(art.image, art.x, art.y);

  const bool blank_cab = type == L::kCab && IsUserCabinet(model);
  if (blank_cab) {
    // The card's microphone and CENTER/DISTANCE rows go blank for a user cabinet.
    c.FillRect(338, 288, 709, 415, view_colour::kPanelGrey);
  } else {
    for (const L::PanelSlider& s : L::PanelSliders(type, model)) {
      const L::Rect& bar = L::kSliderBars[s.slider];
      const int stored = StoredValue(device_, type, s);
      int shown = stored;
      if (s.offset == 40) shown = catalog::ClampDelayTime(stored);
      if (s.offset == 60) shown = catalog::ClampEqFrequency(stored);
      const unsigned position = static_cast<unsigned>(std::max(shown - s.offset, 0));
      PaintSlider(c, view_.hover_item, s.bar_id, position, bar.left, bar.top, bar.right, bar.bottom,
                  static_cast<unsigned>(s.scale));
      const int x = bar.right + 42, y = bar.top - 3;
      switch (s.format) {
        case L::ValueFormat::kDb:
          c.DrawDbLevel(1, x, y, shown);
          break;
        case L::ValueFormat::kSigned12:
          c.DrawText(1, x, y, catalog::FormatCustomEqGain(shown));
          break;
        case L::ValueFormat::kTenths120:
          c.DrawTenths(1, x, y, shown, false);
          break;
        case L::ValueFormat::kTenths200:
          c.DrawTenths(1, x, y, shown, true);
          break;
        case L::ValueFormat::kPlain:
          if (type == L::kMod && s.source == L::ParamSource::kByte && s.index == 0 &&
              ClampsModP1(model))
            shown = std::min(shown, 100);
          c.DrawNumber(1, x, y, shown);
          break;
      }
    }
  }

  if (type == L::kCab) {
    PaintField(c, 89, 118);
    c.DrawText(7, 528, 258,
               std::string(catalog::PowerTubeName(device_.module[type].param[3].Get())));
    if (!blank_cab) {
      PaintField(c, 77, 117);
      c.DrawText(7, 528, 304,
                 std::string(catalog::MicrophoneName(device_.module[type].param[0].Get())));
    }
  }
  if (type == L::kDelay) {
    // Sync notes: delay word 4 for TIME (TIME A), word 6 for TIME B.
    auto note = [&](int word) {
      return std::string(catalog::SyncNoteName(device_.delay_word[word].Get()));
    };
    if (model >= 1 && model <= 8) {
      PaintField(c, 78, 169);
      c.DrawText(7, 528, L::kHitRects[78].top + 5, note(4));
    } else if (model == 9) {
      PaintField(c, 79, 177);
      c.DrawText(7, 639, L::kHitRects[79].top + 5, note(4));
      PaintField(c, 80, 183);
      c.DrawText(7, 639, L::kHitRects[80].top + 5, note(6));
    }
  }
}

}  // namespace rq700
