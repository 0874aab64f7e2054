#include "files/ir_converter.h"

#include <cmath>
#include <cstring>

#include "files/byte_order.h"

// Single-precision steps below must round exactly as written (no fused multiply-add);
// the build compiles this file with contraction off.
namespace rq700::files {

namespace {

constexpr int kWorkingSize = 1120;
constexpr float kScale = 8388608.0f;  // 2^23
// 1.0 and -1.0 would become 2^23, one past the largest 24-bit sample.
constexpr float kAlmostOne = 0.99999899f;  // bit pattern 3F7FFFEF

struct RatePlan {
  uint32_t rate;
  int limit;  // input frames used
  float step;
};
constexpr RatePlan kRates[] = {
    {44100, 512, 1.0f}, {48000, 560, 1.088f}, {88200, 1025, 2.0f}, {96000, 1120, 2.177f}};

int32_t SignExtend24(uint32_t v) {
  v &= 0xFFFFFF;
  return (v & 0x800000) ? static_cast<int32_t>(v | 0xFF000000u) : static_cast<int32_t>(v);
}

// x times 2^23, truncated toward zero, as the low 24 bits. A value that does not fit a
// 32-bit integer (or NaN) gives the integer-indefinite pattern 0x80000000 whose low 24
// bits are 0, as the hardware conversion does.
uint32_t FloatToWord(float x) {
  if (x == 1.0f) x = kAlmostOne;
  if (x == -1.0f) x = -kAlmostOne;
  const float v = x * kScale;
  if (!(v > -2147483648.0f && v < 2147483648.0f)) return 0;
  return static_cast<uint32_t>(static_cast<int32_t>(v)) & 0xFFFFFF;
}

uint32_t ReadSample(const uint8_t* p, int bits) {
  switch (bits) {
    case 8:
      return static_cast<uint32_t>((static_cast<int32_t>(p[0]) - 128) * 65536) & 0xFFFFFF;
    case 16:
      return static_cast<uint32_t>(static_cast<int16_t>(GetLe16(p)) * 256) & 0xFFFFFF;
    case 24:
      return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    default: {
      float x;
      const uint32_t raw = GetLe32(p);
      std::memcpy(&x, &raw, sizeof(x));
      return FloatToWord(x);
    }
  }
}

}  // namespace

bool ConvertImpulseResponse(const WavReader& wav, std::array<uint32_t, kIrWordCount>* out) {
  if (!wav.loaded()) return false;
  uint32_t working[kWorkingSize] = {};

  const RatePlan* plan = nullptr;
  for (const RatePlan& p : kRates) {
    if (p.rate == wav.sample_rate()) plan = &p;
  }
  if (!plan) return false;
  if (wav.channels() != 1 && wav.channels() != 2) return false;
  const int bits = wav.bits_per_sample();
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

  const size_t frame = static_cast<size_t>(bits / 8) * static_cast<size_t>(wav.channels());
  const uint32_t n = std::min<uint32_t>(wav.sample_count(), static_cast<uint32_t>(plan->limit));
  const uint8_t* samples = wav.bytes().data() + wav.first_sample();
  for (uint32_t i = 0; i < n; ++i) working[i] = ReadSample(samples + i * frame, bits);

  if (plan->rate == 44100) {
    for (int k = 0; k < kIrWordCount; ++k) (*out)[k] = working[k];
    return true;
  }

  float in[kWorkingSize + 2] = {};
  for (int j = 0; j < plan->limit; ++j)
    in[j] = static_cast<float>(SignExtend24(working[j])) / kScale;
  float result[kIrWordCount];
  result[0] = in[0];
  float f = 0.0f;
  int i = 1;
  for (int k = 1; k < kIrWordCount; ++k) {
    f += plan->step - 1.0f;
    while (f >= 1.0f) {
      f -= 1.0f;
      ++i;
    }
    // The rounded steps keep i + 1 below the frames used; past them the input is silence.
    const float a = i < plan->limit ? in[i] : 0.0f;
    const float b = i + 1 < plan->limit ? in[i + 1] : 0.0f;
    const float diff = b - a;
    const float scaled = diff * f;
    result[k] = scaled + a;
    ++i;
  }
  for (int k = 0; k < kIrWordCount; ++k) (*out)[k] = FloatToWord(result[k]);
  return true;
}

}  // namespace rq700::files
