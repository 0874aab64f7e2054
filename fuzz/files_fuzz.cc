// The files a user opens: preset files (loaded into the edit model and painted), backup
// containers (check, record walk, item reads), WAV files with their conversion, amplifier
// files and firmware images with their chain walk.
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/amp_file.h"
#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "files/byte_order.h"
#include "files/file_io.h"
#include "files/firmware_builder.h"
#include "files/firmware_image.h"
#include "files/ir_converter.h"
#include "files/preset_file.h"
#include "files/wav_reader.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/null_canvas.h"
#include "skin/view_painter.h"

namespace rq700::fuzz {
namespace {

using namespace rq700::files;

// A scratch folder for the writers that make seeds, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rq700-seeds-XXXXXX").string();
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Path(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

Input ReadBack(const std::string& path) {
  Input bytes;
  FUZZ_CHECK(ReadWholeFile(path, 1 << 20, &bytes));
  return bytes;
}

}  // namespace

void FuzzPresetFile(const uint8_t* data, size_t size) {
  CPresetFileRq700 file;
  int error = 0;
  if (!file.Load(MemoryFile(data, size), &error)) {
    FUZZ_CHECK(error >= 1 && error <= 9);
    return;
  }
  FUZZ_CHECK(size == kPresetFileSize);
  uint8_t record[record::kSize];
  FUZZ_CHECK(file.ReadBody(record, sizeof(record)));
  // Whatever the file holds becomes the edited preset, as an import would make it.
  static const std::unique_ptr<DeviceState> state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  WriteRecord(*state, 5, record);
  SelectPreset(*state, 5);
  uint8_t back[record::kSize];
  std::memcpy(back, record, sizeof(back));
  WriteEditModel(*state, back);
  FUZZ_CHECK(std::memcmp(back + 12, record + 12, record::kNameSize) == 0);
  ViewState view;
  EditorViewPainter painter(*state, view);
  NullCanvas canvas;
  painter.Paint(canvas);
}

std::vector<Input> PresetFileSeeds() {
  ScratchDir dir;
  std::vector<Input> seeds;
  for (int variant = 0; variant < 3; ++variant) {
    CPresetFileRq700 file;
    uint8_t body[record::kSize];
    for (size_t i = 0; i < sizeof(body); ++i) body[i] = static_cast<uint8_t>(i * (variant + 1));
    std::memcpy(body + 12, "CLEAN TONE", 10);
    FUZZ_CHECK(file.WriteBody(body, sizeof(body)));
    const std::string path = dir.Path("seed.prst");
    int error = 0;
    FUZZ_CHECK(file.Save(path, &error));
    seeds.push_back(ReadBack(path));
  }
  return seeds;
}

void FuzzBackup(const uint8_t* data, size_t size) {
  if (size < 1) return;
  // Bit 0 of the first byte recomputes the checksum, so changes reach the structure
  // checks behind it.
  Input bytes(data + 1, data + size);
  if ((data[0] & 1) && bytes.size() >= kBackupHeaderSize) {
    uint64_t sum = 0;
    for (size_t i = 0; i < kBackupChecksumField; ++i) sum += bytes[i];
    for (size_t i = kBackupHeaderSize; i < bytes.size(); ++i) sum += bytes[i];
    PutLe64(bytes.data() + kBackupChecksumField, sum);
  }
  BackupReader reader;
  if (!reader.Open(MemoryFile(bytes.data(), bytes.size()))) {
    FUZZ_CHECK(!reader.error().empty());
    return;
  }
  FUZZ_CHECK(reader.record_count() >= 0 && reader.record_count() <= kBackupMaxRecords);
  FUZZ_CHECK(reader.file_length() == bytes.size());
  FUZZ_CHECK(reader.total_item_bytes() <= bytes.size());
  for (int r = 0; r < reader.record_count(); ++r) {
    BackupRecordHeader record;
    FUZZ_CHECK(reader.ReadRecordHeader(r, &record));
    FUZZ_CHECK(record.offset + kBackupRecordHeaderSize <= bytes.size());
    const uint32_t items = std::min<uint32_t>(record.item_count, 256);
    for (uint32_t k = 0; k < items; ++k) {
      BackupItem item;
      FUZZ_CHECK(reader.ReadItem(record, k, &item));
      FUZZ_CHECK(item.data.size() == record.item_length);
    }
  }
}

std::vector<Input> BackupSeeds() {
  ScratchDir dir;
  std::vector<Input> seeds;
  const std::string path = dir.Path("seed.zbf");
  for (int variant = 0; variant < 2; ++variant) {
    BackupWriter writer;
    FUZZ_CHECK(writer.Create(path));
    BackupRecord irs{std::string(kRecordNameIrs), kRecordUserIrs, {}};
    irs.items.push_back({1, Input(2048, 1)});
    irs.items.push_back({4, Input(2048, 2)});
    BackupRecord system{std::string(kRecordNameSystem), kRecordSystem, {{1, Input(40, 3)}}};
    BackupRecord presets{std::string(kRecordNamePresets), kRecordPresets, {}};
    for (uint16_t i = 0; i < (variant == 0 ? 2 : 5); ++i)
      presets.items.push_back({i, Input(512, 7)});
    FUZZ_CHECK(writer.WriteRecord(irs));
    if (variant == 1) FUZZ_CHECK(writer.WriteRecord(system));
    FUZZ_CHECK(writer.WriteRecord(presets));
    FUZZ_CHECK(writer.Finish());
    Input seed = {1};
    const Input file = ReadBack(path);
    seed.insert(seed.end(), file.begin(), file.end());
    seeds.push_back(std::move(seed));
  }
  return seeds;
}

void FuzzWav(const uint8_t* data, size_t size) {
  WavReader wav;
  if (!wav.ReadBytes(Input(data, data + size), "fuzz.wav")) return;
  const uint64_t frame = uint64_t{static_cast<uint32_t>(wav.bits_per_sample()) / 8} *
                         static_cast<uint32_t>(wav.channels());
  FUZZ_CHECK(frame > 0);
  FUZZ_CHECK(wav.first_sample() + wav.sample_count() * frame <= size);
  std::array<uint32_t, kIrWordCount> words;
  if (ConvertImpulseResponse(wav, &words)) {
    for (uint32_t w : words) FUZZ_CHECK(w >> 24 == 0);
  }
}

std::vector<Input> WavSeeds() {
  // Every rate, width and channel count the converter takes, and an extra chunk before
  // the data.
  std::vector<Input> seeds;
  const uint32_t rates[] = {44100, 48000, 96000};
  int variant = 0;
  for (uint32_t rate : rates) {
    for (uint16_t bits : {8, 16, 24, 32}) {
      const uint16_t channels = static_cast<uint16_t>(1 + variant % 2);
      const bool extra = variant % 3 == 0;
      const uint32_t data_size = 300u * channels * (bits / 8);
      Input w(44, 0);
      std::memcpy(w.data(), "RIFF", 4);
      std::memcpy(w.data() + 8, "WAVEfmt ", 8);
      PutLe32(w.data() + 16, 16);
      PutLe16(w.data() + 20, 1);
      PutLe16(w.data() + 22, channels);
      PutLe32(w.data() + 24, rate);
      PutLe32(w.data() + 28, rate * channels * (bits / 8));
      PutLe16(w.data() + 32, static_cast<uint16_t>(channels * (bits / 8)));
      PutLe16(w.data() + 34, bits);
      if (extra) {
        w.resize(36);
        const uint8_t list[] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
        w.insert(w.end(), list, list + sizeof(list));
        w.resize(w.size() + 8);
      }
      std::memcpy(w.data() + w.size() - 8, "data", 4);
      PutLe32(w.data() + w.size() - 4, data_size);
      for (uint32_t i = 0; i < data_size; ++i) w.push_back(static_cast<uint8_t>(i * 37 + variant));
      PutLe32(w.data() + 4, static_cast<uint32_t>(w.size() - 8));
      seeds.push_back(std::move(w));
      ++variant;
    }
  }
  return seeds;
}

void FuzzAmp(const uint8_t* data, size_t size) {
  AmpFile amp;
  if (amp.ReadBytes(Input(data, data + size), "fuzz.amp")) {
    FUZZ_CHECK(size >= kAmpMinFileSize);
    FUZZ_CHECK(amp.loaded());
  }
}

std::vector<Input> AmpSeeds() {
  std::vector<Input> seeds;
  for (uint32_t step : {0x01000001u, 0x00010203u}) {
    Input a(2052, 0);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kAmpWordCount; ++i) {
      PutLe32(a.data() + 4 * i, step * i);
      sum += step * i;
    }
    PutLe32(a.data() + 2048, sum);
    for (char c : {'2', '.', '0'}) a.push_back(static_cast<uint8_t>(c));
    seeds.push_back(std::move(a));
  }
  return seeds;
}

void FuzzFirmware(const uint8_t* data, size_t size) {
  FirmwareImage image;
  if (image.OpenBytes(Input(data, data + size)) == 0) {
    FUZZ_CHECK(!image.error().empty());
    return;
  }
  FUZZ_CHECK(image.segment_count() >= 1);
  uint8_t header[kFirmwareHeaderSize];
  uint8_t descriptor[kFirmwareDescriptorSize];
  FUZZ_CHECK(image.ReadHeader(header) == kFirmwareHeaderSize);
  uint64_t blocks = 0;
  for (int k = 1; k <= image.segment_count(); ++k) {
    const FirmwareSegment& s = image.segment(k);
    FUZZ_CHECK(s.data_offset + uint64_t{s.length} <= size);
    FUZZ_CHECK(s.descriptor_offset + kFirmwareDescriptorSize <= size);
    FUZZ_CHECK(image.ReadDescriptor(k, descriptor) == kFirmwareDescriptorSize);
    const auto span = image.SegmentData(k);
    FUZZ_CHECK(span.size() == s.length);
    Input copy(s.length);
    FUZZ_CHECK(image.ReadSegment(k, copy.data(), copy.size()) == s.length);
    FUZZ_CHECK(std::equal(copy.begin(), copy.end(), span.begin()));
    blocks += s.BlockCount();
  }
  // Progress counts on the whole file covering every block sent.
  FUZZ_CHECK(blocks <= image.total_blocks());
}

std::vector<Input> FirmwareSeeds() {
  std::vector<Input> seeds;
  for (int count : {1, 3}) {
    FirmwareImagePlan plan;
    plan.apply_command = 0x10;
    plan.apply_reply = 0x11;
    plan.apply_timeout = 20;
    for (int i = 0; i < count; ++i) {
      FirmwareSegmentPlan s;
      s.data_command = static_cast<uint8_t>(0x20 + i);
      s.reply = static_cast<uint8_t>(0x30 + i);
      s.block_timeout = 5;
      s.first_block = static_cast<uint16_t>(i * 4);
      s.data.assign(300 + 1100 * i, static_cast<uint8_t>(i + 1));
      plan.segments.push_back(s);
    }
    seeds.push_back(BuildFirmwareImage(plan));
  }
  return seeds;
}

}  // namespace rq700::fuzz
