#include "editor/tap_tempo.h"

#include <algorithm>
#include <chrono>

namespace rq700 {
namespace {

constexpr int32_t kTapWindowMs = 2000;
constexpr int kTempoMin = 40;
constexpr int kTempoMax = 260;

}  // namespace

uint32_t SteadyTickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void TapTempo(DeviceState& device, ViewState& view, const TickClock& clock) {
  view.tap_key_held = 1;
  const uint32_t now = clock();
  view.tap_interval = static_cast<int32_t>(now - view.last_tap_time);
  // A negative interval is no tap interval: the first tap of a clock past 2^31 ms reads
  // that way against "no tap yet", and only starts a measurement like a slow tap.
  if (view.tap_interval < kTapWindowMs && view.tap_interval > 0) {
    device.tempo.Set(std::clamp(60000 / view.tap_interval, kTempoMin, kTempoMax));
  }
  view.last_tap_time = clock();
}

}  // namespace rq700
