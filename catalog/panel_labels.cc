#include "catalog/panel_labels.h"

#include <array>

#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/panel_layout.h"

namespace rq700::catalog {
namespace {

// Labels of one group of models, in panel-layout order.
using Labels = std::array<std::string_view, kMaxPanelControls>;

Labels FxLabels(int model) {
  if (model <= 2) return {"POSITION", "Q", "RANGE", "LEVEL"};
  if (model <= 5) return {"SENS", "RATE", "Q", "LEVEL"};
  if (model == 6) return {"SENS", "ATTACK", "Q", "LEVEL"};
  return {"THRE", "RATIO", "ATTACK", "LEVEL"};
}

Labels NsLabels(int model) {
  if (model == 1) return {"THRES"};
  if (model == 2) return {"SENS"};
  return {"THRES", "ATTACK", "RELEASE"};
}

Labels EqLabels(int model) {
  switch (model) {
    case 1:
      return {"100HZ", "250HZ", "630HZ", "1.6KHZ", "4KHZ"};
    case 2:
      return {"80HZ", "240HZ", "750HZ", "2.2KHZ", "6.6KHZ"};
    case 3:
      return {"100HZ", "200HZ", "400HZ", "800HZ", "1.6KHZ", "3.2KHZ"};
    default:  // gain and frequency of each band in turn
      return {"LOW GAIN", "LOW FREQ", "MID GAIN", "MID FREQ", "HIGH GAIN", "HIGH FREQ"};
  }
}

Labels ModLabels(int model) {
  switch (model) {
    case 1:
    case 2:
    case 3:
      return {"RATE", "DEPTH", "LEVEL"};
    case 4:
    case 5:
      return {"RATE", "DEPTH", "FEEDBACK"};
    case 8:
      return {"RATE", "DEPTH", "TONE"};
    case 9:
    case 10:
    case 20:
      return {"PITCH", "MIX", "LEVEL"};
    case 12:
    case 13:
      return {"RATE", "DEPTH", "TONE", "MIX"};
    case 15:
      return {"Q", "RANGE", "RATE"};
    case 16:
    case 17:
      return {"TONE", "Q", "LEVEL"};
    case 18:
      return {"RISE", "LEVEL"};
    case 19:
      return {"BIT", "SAMPLE", "MIX"};
    default:  // 6, 7, 11, 14
      return {"RATE", "DEPTH", "MIX"};
  }
}

Labels DelayLabels(int model) {
  if (model == 8) return {"LEVEL", "F.BACK", "TIME", "SYNC", "THRE"};
  if (model == 9) return {"LEVEL", "F.BACK", "TIME A", "SYNC A", "TIME B", "SYNC B"};
  return {"LEVEL", "F.BACK", "TIME", "SYNC"};
}

Labels LabelsOf(int module, int model) {
  switch (module) {
    case kFxComp:
      return FxLabels(model);
    case kDsOd:
      return {"VOLUME", "TONE", "GAIN"};
    case kAmp:
      return {"GAIN", "BASS", "MID", "TREBLE", "PRES", "MST"};
    case kCab:
      if (model >= kFirstUserIrModel) return {"POWER TUBE"};
      return {"MIC", "CENTER", "DISTANCE", "POWER TUBE"};
    case kNs:
      return NsLabels(model);
    case kEq:
      return EqLabels(model);
    case kMod:
      return ModLabels(model);
    case kDelay:
      return DelayLabels(model);
    case kReverb:
      return {"PRE DELAY", "LEVEL", "DECAY", "TONE"};
    default:
      return {};
  }
}

}  // namespace

std::string_view ControlLabel(int module, int model, int index) {
  if (index < 0 || index >= GetPanelLayout(module, model).count) return {};
  return LabelsOf(module, model)[static_cast<size_t>(index)];
}

}  // namespace rq700::catalog
