#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "files/byte_order.h"
#include "files/ir_converter.h"
#include "files/slot_name.h"
#include "files/wav_reader.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

// A canonical RIFF/WAVE file around raw sample bytes.
std::vector<uint8_t> Wav(uint32_t rate, int channels, int bits, const std::vector<uint8_t>& data,
                         int format = 1) {
  std::vector<uint8_t> w(44, 0);
  std::memcpy(w.data(), "RIFF", 4);
  PutLe32(w.data() + 4, static_cast<uint32_t>(36 + data.size()));
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  PutLe32(w.data() + 16, 16);
  PutLe16(w.data() + 20, static_cast<uint16_t>(format));
  PutLe16(w.data() + 22, static_cast<uint16_t>(channels));
  PutLe32(w.data() + 24, rate);
  PutLe32(w.data() + 28, rate * channels * bits / 8);
  PutLe16(w.data() + 32, static_cast<uint16_t>(channels * bits / 8));
  PutLe16(w.data() + 34, static_cast<uint16_t>(bits));
  std::memcpy(w.data() + 36, "data", 4);
  PutLe32(w.data() + 40, static_cast<uint32_t>(data.size()));
  w.resize(44 + data.size());
  std::copy(data.begin(), data.end(), w.begin() + 44);
  return w;
}

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> d(samples.size() * 2);
  for (size_t i = 0; i < samples.size(); ++i) PutLe16(d.data() + 2 * i, samples[i]);
  return d;
}

std::vector<uint8_t> Float32(const std::vector<float>& samples) {
  std::vector<uint8_t> d(samples.size() * 4);
  for (size_t i = 0; i < samples.size(); ++i) {
    uint32_t raw;
    std::memcpy(&raw, &samples[i], 4);
    PutLe32(d.data() + 4 * i, raw);
  }
  return d;
}

int32_t Signed24(uint32_t w) { return (w & 0x800000) ? static_cast<int32_t>(w | 0xFF000000) : w; }

bool Convert(const std::vector<uint8_t>& file, std::array<uint32_t, 512>* out,
             std::string_view path = "ir.wav") {
  WavReader wav;
  return wav.ReadBytes(file, path) && ConvertImpulseResponse(wav, out);
}

TEST(IrConvert, Mono16BitAt44100KeepsSamplesScaledAndPadsWithZeros) {
  std::vector<int16_t> samples(100);
  for (int i = 0; i < 100; ++i) samples[i] = static_cast<int16_t>(i * 300 - 15000);
  std::array<uint32_t, 512> out;
  out.fill(0xDEADBEEF);
  ASSERT_TRUE(Convert(Wav(44100, 1, 16, Pcm16(samples)), &out));
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(Signed24(out[i]), samples[i] * 256) << i;
    EXPECT_EQ(out[i] >> 24, 0u);
  }
  for (int i = 100; i < 512; ++i) EXPECT_EQ(out[i], 0u) << i;
}

TEST(IrConvert, OtherSampleSizesAndTheLeftChannel) {
  std::array<uint32_t, 512> out;
  ASSERT_TRUE(Convert(Wav(44100, 1, 8, {0, 128, 255}), &out));
  EXPECT_EQ(Signed24(out[0]), -128 * 65536);
  EXPECT_EQ(out[1], 0u);
  EXPECT_EQ(Signed24(out[2]), 127 * 65536);
  ASSERT_TRUE(Convert(Wav(44100, 1, 24, {0x01, 0x02, 0x83, 0xFF, 0xFF, 0x7F}), &out));
  EXPECT_EQ(out[0], 0x830201u);
  EXPECT_EQ(out[1], 0x7FFFFFu);
  // Stereo: only the first sample of each frame.
  ASSERT_TRUE(Convert(Wav(44100, 2, 16, Pcm16({100, -7, 200, -7, -300, -7})), &out));
  EXPECT_EQ(Signed24(out[0]), 100 * 256);
  EXPECT_EQ(Signed24(out[1]), 200 * 256);
  EXPECT_EQ(Signed24(out[2]), -300 * 256);
  EXPECT_EQ(out[3], 0u);
}

TEST(IrConvert, FloatSamplesAndTheFullScaleSubstitutes) {
  std::array<uint32_t, 512> out;
  ASSERT_TRUE(Convert(Wav(44100, 1, 32, Float32({1.0f, -1.0f, 0.5f, -0.25f, 2.0f, NAN})), &out));
  EXPECT_EQ(out[0], 8388599u);
  EXPECT_EQ(out[1], 0x800009u);
  EXPECT_EQ(out[2], 4194304u);
  EXPECT_EQ(Signed24(out[3]), -2097152);
  EXPECT_EQ(out[4], 0u);  // 2^24: not limited, its low 24 bits are zero
  EXPECT_EQ(out[5], 0u);
}

TEST(IrConvert, ResampledRates) {
  // Distinct values so each output shows which inputs it came from.
  std::vector<int16_t> ramp(1200);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>((i * 37) % 20000);
  auto in = [&](size_t i) { return static_cast<float>(ramp[i] * 256) / 8388608.0f; };
  std::array<uint32_t, 512> out;

  ASSERT_TRUE(Convert(Wav(88200, 1, 16, Pcm16(ramp)), &out));
  for (int k = 0; k < 512; ++k) EXPECT_EQ(Signed24(out[k]), ramp[2 * k] * 256) << k;

  ASSERT_TRUE(Convert(Wav(48000, 1, 16, Pcm16(ramp)), &out));
  EXPECT_EQ(Signed24(out[0]), ramp[0] * 256);
  const float f1 = 1.088f - 1.0f;
  const float expected1 = (in(2) - in(1)) * f1 + in(1);
  EXPECT_EQ(Signed24(out[1]), static_cast<int32_t>(expected1 * 8388608.0f));

  // At most 560 input frames are used at 48 kHz: samples past that change nothing.
  auto longer = ramp;
  for (size_t i = 560; i < longer.size(); ++i) longer[i] = 12345;
  std::array<uint32_t, 512> again;
  ASSERT_TRUE(Convert(Wav(48000, 1, 16, Pcm16(longer)), &again));
  EXPECT_EQ(again, out);

  ASSERT_TRUE(Convert(Wav(96000, 1, 16, Pcm16(ramp)), &out));
  EXPECT_EQ(Signed24(out[0]), ramp[0] * 256);
  // The step 2.177 carries past one whole sample at once: out[1] lies between 2 and 3.
  const float f96 = (2.177f - 1.0f) - 1.0f;
  const float expected96 = (in(3) - in(2)) * f96 + in(2);
  EXPECT_EQ(Signed24(out[1]), static_cast<int32_t>(expected96 * 8388608.0f));
  // A short file at 96 kHz: the interpolation runs into zeros, no read past the samples.
  ASSERT_TRUE(Convert(Wav(96000, 1, 16, Pcm16({1000, 2000, 3000})), &out));
  EXPECT_EQ(out[511], 0u);
}

TEST(IrConvert, RefusedFormats) {
  std::array<uint32_t, 512> out;
  const auto pcm = Pcm16({1, 2, 3, 4, 5, 6});
  EXPECT_FALSE(Convert(Wav(22050, 1, 16, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44101, 1, 16, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44100, 3, 16, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44100, 0, 16, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44100, 1, 12, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44100, 1, 4, pcm), &out));
  EXPECT_FALSE(Convert(Wav(44100, 1, 0, pcm), &out));
  WavReader never_loaded;
  EXPECT_FALSE(ConvertImpulseResponse(never_loaded, &out));
}

TEST(WavRead, TagsFieldsAndBounds) {
  WavReader wav;
  auto good = Wav(48000, 2, 24, std::vector<uint8_t>(60, 1));
  ASSERT_TRUE(wav.ReadBytes(good, "/x/cab.wav"));
  EXPECT_EQ(wav.fmt_position(), 12u);
  EXPECT_EQ(wav.data_position(), 36u);
  EXPECT_EQ(wav.first_sample(), 44u);
  EXPECT_EQ(wav.sample_count(), 10u);  // 60 / (3 * 2)
  EXPECT_EQ(wav.sample_rate(), 48000u);
  EXPECT_EQ(wav.channels(), 2);
  EXPECT_EQ(wav.bits_per_sample(), 24);

  // A data size beyond the file counts only the frames present.
  auto overstated = good;
  PutLe32(overstated.data() + 40, 0xFFFFFFF0u);
  ASSERT_TRUE(wav.ReadBytes(overstated, "a.wav"));
  EXPECT_EQ(wav.sample_count(), 10u);
  std::array<uint32_t, 512> out;
  EXPECT_TRUE(ConvertImpulseResponse(wav, &out));

  auto bad = good;
  std::memcpy(bad.data(), "RIFX", 4);
  EXPECT_FALSE(wav.ReadBytes(bad, "a.wav"));
  bad = good;
  std::memcpy(bad.data() + 8, "WAVX", 4);
  EXPECT_FALSE(wav.ReadBytes(bad, "a.wav"));
  bad = good;
  std::memcpy(bad.data() + 36, "dat_", 4);
  EXPECT_FALSE(wav.ReadBytes(bad, "a.wav")) << "no data tag";
  bad = good;
  std::memcpy(bad.data() + 12, "fmt_", 4);
  EXPECT_FALSE(wav.ReadBytes(bad, "a.wav")) << "no fmt tag";
  // Tags so near the end that their fields would lie outside the file.
  EXPECT_FALSE(wav.ReadBytes(
      {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 'd', 'a', 't', 'a'},
      "a.wav"));
  std::vector<uint8_t> data_at_end(good.begin(), good.begin() + 36);
  for (uint8_t b : {'d', 'a', 't', 'a', '\x09', '\0'}) data_at_end.push_back(b);
  EXPECT_FALSE(wav.ReadBytes(data_at_end, "a.wav"));
  EXPECT_FALSE(wav.ReadBytes(Wav(44100, 0, 16, {1, 2}), "a.wav")) << "zero channels";
  EXPECT_FALSE(wav.ReadBytes(Wav(44100, 1, 7, {1, 2}), "a.wav")) << "under 8 bits";
  EXPECT_FALSE(wav.ReadBytes({}, "a.wav"));

  TempDir dir;
  WriteBytes(dir.Path("from disk.wav"), good);
  ASSERT_TRUE(wav.Read(dir.Path("from disk.wav")));
  EXPECT_EQ(wav.slot_name(), "from disk");
  EXPECT_FALSE(wav.Read(dir.Path("missing.wav")));
  EXPECT_FALSE(wav.loaded());
}

TEST(SlotName, FromThePath) {
  EXPECT_EQ(SlotNameFromPath("/home/u/my cab.wav"), "my cab");
  EXPECT_EQ(SlotDisplayName("my cab"), "MY CAB");
  EXPECT_EQ(SlotNameFromPath("C:\\irs\\a.b\\room.v2.wav"), "room.v2");
  EXPECT_EQ(SlotNameFromPath("twenty characters!!!.wav"), "twenty characte");
  EXPECT_EQ(SlotNameFromPath("noext"), "noext");
  EXPECT_EQ(SlotNameFromPath("dir.d/noext"), "noext");
  // Latin-1 characters become one byte each; beyond U+00FF the name is refused.
  EXPECT_EQ(SlotNameFromPath("caf\xC3\xA9.wav"), "caf\xE9");
  EXPECT_EQ(SlotNameFromPath("\xE2\x82\xAC.wav"), std::nullopt);
  EXPECT_EQ(SlotNameFromPath("bad\xC3.wav"), std::nullopt);
  // A character above U+00FF after the first 15 does not matter.
  EXPECT_EQ(SlotNameFromPath("abcdefghijklmno\xE2\x82\xAC.wav"), "abcdefghijklmno");
  EXPECT_EQ(SlotDisplayName("caf\xE9"), "CAF\xE9");
}

}  // namespace
}  // namespace rq700::files
