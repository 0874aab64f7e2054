// Random and mutated files fed to every reader: none may crash, read outside the bytes or
// allocate from a size field, and whatever a reader accepts must be consistent with the
// bytes it has. Runs under AddressSanitizer in the sanitizer build.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/panel_layout.h"
#include "catalog/value_format.h"
#include "files/amp_file.h"
#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "files/byte_order.h"
#include "files/firmware_builder.h"
#include "files/firmware_image.h"
#include "files/ir_converter.h"
#include "files/preset_file.h"
#include "files/wav_reader.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : rng_(seed) {}

  uint32_t Below(uint32_t n) { return n == 0 ? 0 : rng_() % n; }

  std::vector<uint8_t> Random(size_t max_size) {
    std::vector<uint8_t> bytes(Below(static_cast<uint32_t>(max_size) + 1));
    for (auto& b : bytes) b = static_cast<uint8_t>(rng_());
    return bytes;
  }

  // A few edits of a valid file: flipped bytes, extreme 32-bit fields, cuts, growth,
  // planted tags.
  std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes) {
    const int edits = 1 + static_cast<int>(Below(4));
    for (int e = 0; e < edits; ++e) {
      switch (Below(6)) {
        case 0:
          if (!bytes.empty()) bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1 + Below(255));
          break;
        case 1:
          if (bytes.size() >= 4) {
            const uint32_t values[] = {0,
                                       1,
                                       0x7FFFFFFF,
                                       0x80000000,
                                       0xFFFFFFFF,
                                       static_cast<uint32_t>(bytes.size()),
                                       static_cast<uint32_t>(bytes.size() + 1),
                                       static_cast<uint32_t>(rng_())};
            // Fields sit at small offsets in every format here: favour them.
            const size_t limit =
                Below(2) ? std::min<size_t>(bytes.size() - 3, 1100) : bytes.size() - 3;
            PutLe32(bytes.data() + Below(limit), values[Below(8)]);
          }
          break;
        case 2:
          bytes.resize(Below(bytes.size() + 1));
          break;
        case 3:
          for (uint32_t n = Below(600); n > 0; --n) bytes.push_back(static_cast<uint8_t>(rng_()));
          break;
        case 4: {
          static const char* tags[] = {"fmt ", "data", "RIFF", "WAVE", "2.0", "Zorva_TAG", "BUFF"};
          const char* tag = tags[Below(7)];
          const size_t len = std::strlen(tag);
          if (bytes.size() >= len)
            std::memcpy(bytes.data() + Below(bytes.size() - len + 1), tag, len);
          break;
        }
        default:
          if (bytes.size() >= 2) bytes[Below(bytes.size())] = Below(2) ? 0 : 0xFF;
          break;
      }
    }
    return bytes;
  }

  std::vector<uint8_t> Next(const std::vector<uint8_t>& seed, size_t random_max) {
    return Below(8) == 0 ? Random(random_max) : Mutate(seed);
  }

 private:
  std::mt19937 rng_;
};

std::vector<uint8_t> SeedWav() {
  std::vector<uint8_t> w(44 + 400, 0);
  std::memcpy(w.data(), "RIFF", 4);
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  PutLe16(w.data() + 22, 1);
  PutLe32(w.data() + 24, 48000);
  PutLe16(w.data() + 34, 16);
  std::memcpy(w.data() + 36, "data", 4);
  PutLe32(w.data() + 40, 400);
  for (size_t i = 44; i < w.size(); ++i) w[i] = static_cast<uint8_t>(i * 13);
  return w;
}

std::vector<uint8_t> SeedAmp() {
  std::vector<uint8_t> a(2052, 0);
  uint32_t sum = 0;
  for (int i = 0; i < 512; ++i) {
    PutLe32(a.data() + 4 * i, 0x01000001u * i);
    sum += 0x01000001u * i;
  }
  PutLe32(a.data() + 2048, sum);
  for (char c : {'2', '.', '0'}) a.push_back(static_cast<uint8_t>(c));
  return a;
}

std::vector<uint8_t> SeedFirmware() {
  FirmwareImagePlan plan;
  for (int i = 0; i < 3; ++i) {
    FirmwareSegmentPlan s;
    s.data.assign(300 + 400 * i, static_cast<uint8_t>(i));
    plan.segments.push_back(s);
  }
  return BuildFirmwareImage(plan);
}

std::vector<uint8_t> SeedPreset() {
  std::vector<uint8_t> p(kPresetFileSize, 0);
  for (size_t i = 512; i < 1024; ++i) p[i] = static_cast<uint8_t>(i);
  PutLe32(p.data() + kPresetVersionField, 1);
  PutLe32(p.data() + kPresetSumField, PresetBodySum(p.data()));
  return p;
}

std::vector<uint8_t> SeedBackup(const TempDir& dir) {
  BackupWriter writer;
  const std::string path = dir.Path("seed.zbf");
  EXPECT_TRUE(writer.Create(path));
  BackupRecord irs{"RQ700_IR", kRecordUserIrs, {}};
  irs.items.push_back({1, std::vector<uint8_t>(700, 1)});
  irs.items.push_back({4, std::vector<uint8_t>(700, 2)});
  BackupRecord sys{"RQ700_SYSTEM", kRecordSystem, {{1, std::vector<uint8_t>(40, 3)}}};
  EXPECT_TRUE(writer.WriteRecord(irs));
  EXPECT_TRUE(writer.WriteRecord(sys));
  EXPECT_TRUE(writer.Finish());
  return ReadBytes(path);
}

// The backup checksum recomputed, so mutations reach the structure checks behind it.
void FixBackupSum(std::vector<uint8_t>& b) {
  if (b.size() < kBackupHeaderSize) return;
  uint64_t sum = 0;
  for (size_t i = 0; i < kBackupChecksumField; ++i) sum += b[i];
  for (size_t i = kBackupHeaderSize; i < b.size(); ++i) sum += b[i];
  PutLe64(b.data() + kBackupChecksumField, sum);
}

TEST(FilesFuzz, WavReaderAndConverter) {
  Mutator m(1);
  const auto seed = SeedWav();
  int accepted = 0;
  for (int i = 0; i < 12000; ++i) {
    auto bytes = m.Next(seed, 200);
    if (i % 3 == 0 && bytes.size() >= 36) {  // every rate, width and channel count
      const uint32_t rates[] = {44100, 48000, 88200, 96000, 22050};
      PutLe32(bytes.data() + 24, rates[m.Below(5)]);
      PutLe16(bytes.data() + 34, static_cast<uint16_t>(8 * (1 + m.Below(4))));
      PutLe16(bytes.data() + 22, static_cast<uint16_t>(1 + m.Below(2)));
    }
    const size_t size = bytes.size();
    WavReader wav;
    if (!wav.ReadBytes(std::move(bytes), "x.wav")) continue;
    const uint64_t frame = uint64_t{static_cast<uint32_t>(wav.bits_per_sample()) / 8} *
                           static_cast<uint32_t>(wav.channels());
    ASSERT_GT(frame, 0u);
    ASSERT_LE(wav.first_sample() + wav.sample_count() * frame, size);
    std::array<uint32_t, kIrWordCount> out;
    if (ConvertImpulseResponse(wav, &out)) {
      ++accepted;
      for (uint32_t w : out) ASSERT_EQ(w >> 24, 0u);
    }
  }
  EXPECT_GT(accepted, 100);
}

TEST(FilesFuzz, AmpFile) {
  Mutator m(2);
  const auto seed = SeedAmp();
  int accepted = 0;
  for (int i = 0; i < 8000; ++i) {
    AmpFile amp;
    const auto bytes = m.Next(seed, 3000);
    if (amp.ReadBytes(bytes, "a.amp")) {
      ++accepted;
      ASSERT_GE(bytes.size(), kAmpMinFileSize);
    }
  }
  EXPECT_GT(accepted, 10);
}

TEST(FilesFuzz, FirmwareImage) {
  Mutator m(3);
  const auto seed = SeedFirmware();
  int accepted = 0;
  for (int i = 0; i < 10000; ++i) {
    auto bytes = m.Next(seed, 3000);
    const size_t size = bytes.size();
    FirmwareImage image;
    if (image.OpenBytes(std::move(bytes)) == 0) continue;
    ++accepted;
    ASSERT_GE(image.segment_count(), 1);
    uint8_t header[kFirmwareHeaderSize];
    uint8_t descriptor[kFirmwareDescriptorSize];
    ASSERT_EQ(image.ReadHeader(header), kFirmwareHeaderSize);
    for (int k = 1; k <= image.segment_count(); ++k) {
      const FirmwareSegment& s = image.segment(k);
      ASSERT_LE(s.data_offset + uint64_t{s.length}, size);
      ASSERT_LE(s.descriptor_offset + kFirmwareDescriptorSize, size);
      ASSERT_EQ(image.ReadDescriptor(k, descriptor), kFirmwareDescriptorSize);
      std::vector<uint8_t> data(s.length);
      ASSERT_EQ(image.ReadSegment(k, data.data(), data.size()), s.length);
      if (s.BlockCount() > 0) {
        ASSERT_GT(image.total_blocks(), 0u);
      }
    }
  }
  EXPECT_GT(accepted, 50);
}

TEST(FilesFuzz, PresetAndBackupFilesFromDisk) {
  TempDir dir;
  Mutator m(4);
  const auto preset_seed = SeedPreset();
  // A fresh name per input: truncating and rewriting one file makes some file systems
  // flush on every write.
  int serial = 0;
  std::string path;
  auto write = [&](const std::vector<uint8_t>& bytes) {
    if (!path.empty()) std::filesystem::remove(path);
    path = dir.Path("f" + std::to_string(serial++));
    WriteBytes(path, bytes);
  };
  for (int i = 0; i < 1000; ++i) {
    write(m.Next(preset_seed, 2100));
    CPresetFileRq700 file;
    int error = 0;
    if (!file.Load(path, &error)) {
      ASSERT_TRUE(error >= 1 && error <= 9);
    }
  }
  const auto backup_seed = SeedBackup(dir);
  int accepted = 0;
  for (int i = 0; i < 1500; ++i) {
    auto bytes = m.Next(backup_seed, 3000);
    if (m.Below(4) != 0) FixBackupSum(bytes);
    write(bytes);
    BackupReader reader;
    if (!reader.Open(path)) continue;
    ++accepted;
    ASSERT_LE(reader.record_count(), kBackupMaxRecords);
    for (int r = 0; r < reader.record_count(); ++r) {
      BackupRecordHeader record;
      ASSERT_TRUE(reader.ReadRecordHeader(r, &record));
      const uint32_t items = std::min<uint32_t>(record.item_count, 2000);
      for (uint32_t k = 0; k < items; ++k) {
        BackupItem item;
        ASSERT_TRUE(reader.ReadItem(record, k, &item));
        ASSERT_EQ(item.data.size(), record.item_length);
      }
    }
  }
  EXPECT_GT(accepted, 20);
  // The other readers through their file entry points.
  for (int i = 0; i < 100; ++i) {
    write(m.Next(i % 2 ? SeedWav() : SeedAmp(), 100));
    WavReader wav;
    AmpFile amp;
    FirmwareImage image;
    wav.Read(path);
    amp.Read(path);
    image.Open(path);
  }
}

TEST(FilesFuzz, FirmwareSearchAndCatalogLookups) {
  TempDir dir;
  Mutator m(5);
  const char* names[] = {"ZORVA_RQ700_V1.0.0.zr", "ZORVA_RQ700.zr", "ZORVA_RQ700_V.zr",
                         "ZORVA_RQ700_V9.zr",     "_V.zr",          ".zr"};
  for (const char* n : names) WriteBytes(dir.Path(n), {1});
  for (int i = 0; i < 300; ++i) {
    std::string text(m.Below(40), 'A');
    for (char& c : text) c = "ZORVA_RQ7V0.\0"[m.Below(13)];
    std::string found;
    if (FindFirmwareImage(dir.path(), text, &found)) {
      ASSERT_FALSE(found.empty());
    }
  }
  catalog::UserSlotNames slots;
  for (int i = 0; i < 2000; ++i) {
    const int a = static_cast<int>(m.Below(80)) - 10;
    const int b = static_cast<int>(m.Below(80)) - 10;
    (void)slots.ModelName(a, b);
    (void)catalog::ExpLabel(a, b);
    (void)catalog::ExpTargetText(1 + static_cast<int>(m.Below(2)), m.Below(2) == 0, a, b);
    (void)catalog::SystemLevelLabel(a);
    (void)catalog::MicrophoneName(a);
    const auto layout = catalog::GetPanelLayout(a, b);
    for (int c = 0; c < layout.count; ++c)
      (void)catalog::FormatControlValue(layout.controls[c], static_cast<int>(m.Below(70000)));
  }
}

}  // namespace
}  // namespace rq700::files
