// rq700_sample_files DIR: writes a set of RQ700 files into DIR (presets, backups, impulse
// responses of every sample format and rate, an amplifier file), good ones and broken
// ones, so that two builds of the rq700 tool can be run on the same files and their
// answers compared.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/backup_writer.h"
#include "files/byte_order.h"
#include "files/file_io.h"
#include "files/preset_file.h"
#include "protocol/preset_record.h"

namespace rq700::files {
namespace {

using Bytes = std::vector<uint8_t>;

bool Put(const std::string& dir, const std::string& name, const Bytes& bytes) {
  if (WriteFileSafely(dir + "/" + name, bytes)) return true;
  std::fprintf(stderr, "rq700_sample_files: cannot write %s\n", name.c_str());
  return false;
}

Bytes Preset(const std::string& dir) {
  uint8_t rec[record::kSize] = {};
  for (int i = 0; i < record::kModuleCount; ++i) {
    rec[record::kChainOrder + i] = static_cast<uint8_t>((i * 4) % 9 + 1);  // a shuffled chain
    const size_t slot = record::ModuleSlot(i + 1);
    rec[slot + record::kSlotModel] = static_cast<uint8_t>(i % 5 + 1);
    rec[slot + record::kSlotEnable] = i % 3 != 0;
    for (int p = 0; p < 6; ++p)
      rec[slot + record::kSlotParams + p] = static_cast<uint8_t>(i * 7 + p * 11);
  }
  rec[record::kChainOff + 2] = 1;
  rec[record::kVolume] = 64;
  std::memcpy(rec + record::kName, "SAMPLE \xC4 TONE", 14);  // Latin-1 byte in the name
  record::WriteWord(rec, record::kDelayTimeWord, 480);
  rec[record::kExp1Module] = 2;
  rec[record::kExp1Param] = 0;
  rec[record::kExp2Module] = 8;
  rec[record::kExp2Param] = 1;
  CPresetFileRq700 file;
  file.WriteBody(rec, sizeof(rec));
  int error = 0;
  if (!file.Save(dir + "/sample.zv", &error)) return {};
  Bytes bytes;
  ReadWholeFile(dir + "/sample.zv", kPresetFileSize, &bytes);
  return bytes;
}

bool Backup(const std::string& path) {
  BackupWriter writer;
  if (!writer.Create(path)) return false;
  BackupRecord irs{"RQ700_IR", kRecordUserIrs, {}};
  for (uint16_t n : {1, 5, 20}) irs.items.push_back({n, Bytes(1551, static_cast<uint8_t>(n * 9))});
  BackupRecord system{"RQ700_SYSTEM", kRecordSystem, {{1, Bytes(60, 3)}}};
  BackupRecord presets{"RQ700_PRESET", kRecordPresets, {}};
  for (uint16_t i = 1; i <= 200; ++i)
    presets.items.push_back({i, Bytes(512, static_cast<uint8_t>(i))});
  return writer.WriteRecord(irs) && writer.WriteRecord(system) && writer.WriteRecord(presets) &&
         writer.Finish();
}

// A decaying tone as `bits`-bit samples (32: float) over `frames` frames of `channels`.
Bytes Wav(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t frames) {
  const uint32_t size = frames * channels * (bits / 8);
  Bytes w(44 + size, 0);
  std::memcpy(w.data(), "RIFF", 4);
  PutLe32(w.data() + 4, 36 + size);
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  PutLe32(w.data() + 16, 16);
  PutLe16(w.data() + 20, bits == 32 ? 3 : 1);
  PutLe16(w.data() + 22, channels);
  PutLe32(w.data() + 24, rate);
  PutLe32(w.data() + 28, rate * channels * (bits / 8));
  PutLe16(w.data() + 32, static_cast<uint16_t>(channels * (bits / 8)));
  PutLe16(w.data() + 34, bits);
  std::memcpy(w.data() + 36, "data", 4);
  PutLe32(w.data() + 40, size);
  uint8_t* at = w.data() + 44;
  for (uint32_t i = 0; i < frames * channels; ++i) {
    const double x = std::exp(-0.004 * i) * std::sin(0.37 * i);
    if (bits == 32) {
      const float f = static_cast<float>(x);
      uint32_t raw;
      std::memcpy(&raw, &f, sizeof(raw));
      PutLe32(at, raw);
    } else if (bits == 8) {
      *at = static_cast<uint8_t>(128 + std::lround(x * 127));
    } else {
      const long v = std::lround(x * ((1L << (bits - 1)) - 1));
      for (int b = 0; b < bits / 8; ++b) at[b] = static_cast<uint8_t>(v >> (8 * b));
    }
    at += bits / 8;
  }
  return w;
}

Bytes Amp() {
  Bytes amp(2048 + 4, 0);
  uint32_t sum = 0;
  for (int i = 0; i < 512; ++i) {
    const uint32_t word = static_cast<uint32_t>(i * 2654435761u);
    PutLe32(amp.data() + 4 * i, word);
    sum += word;
  }
  PutLe32(amp.data() + 2048, sum);
  for (char c : {'2', '.', '0'}) amp.push_back(static_cast<uint8_t>(c));
  return amp;
}

}  // namespace
}  // namespace rq700::files

int main(int argc, char** argv) {
  using namespace rq700::files;
  if (argc != 2) {
    std::fprintf(stderr, "Usage: rq700_sample_files DIR\n");
    return 1;
  }
  const std::string dir = argv[1];
  Bytes preset = Preset(dir);
  if (preset.empty()) return 1;
  preset[900] ^= 0x10;  // the checksum no longer fits
  Bytes amp = Amp();
  Bytes bad_amp = amp;
  bad_amp[2048] ^= 1;
  bool ok = Put(dir, "broken.zv", preset) && Backup(dir + "/sample.zbf") &&
            Put(dir,
                "Gr\xC3\xBC\xC3\x9F"
                "e cab.wav",
                Wav(44100, 1, 16, 600)) &&
            Put(dir, "room 48k.wav", Wav(48000, 2, 24, 700)) &&
            Put(dir, "hall 96k.wav", Wav(96000, 1, 32, 1300)) &&
            Put(dir, "lofi 88k.wav", Wav(88200, 1, 8, 1100)) &&
            Put(dir, "odd rate.wav", Wav(22050, 1, 16, 100)) && Put(dir, "crunch.amp", amp) &&
            Put(dir, "broken.amp", bad_amp);
  Bytes backup;
  ok = ok && ReadWholeFile(dir + "/sample.zbf", 1 << 20, &backup);
  if (ok) {
    backup[backup.size() / 2] ^= 0x40;
    ok = Put(dir, "broken.zbf", backup);
  }
  return ok ? 0 : 1;
}
