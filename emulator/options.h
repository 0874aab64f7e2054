#ifndef RQ700_EMULATOR_OPTIONS_H_
#define RQ700_EMULATOR_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace rq700::emu {

enum class Mode { kNormal, kUpdate };

// The order of the packets that answer the dump request 0xE0.
enum class DumpOrder {
  kFixed,     // version, names, settings, current preset and its record, then 0..199
  kShuffled,  // any order; only record 199 stays the last record
};

inline constexpr uint16_t kVendorId = 0x0483;
inline constexpr uint16_t kNormalProductId = 0x5703;
inline constexpr uint16_t kUpdateProductId = 0x5750;
inline constexpr uint16_t kDefaultRelease = 0x00C8;

// Misbehaviour on purpose, so that the host's handling of a faulty device can be tried.
struct Faults {
  // Host commands the device ignores entirely: no answer, no change.
  std::vector<uint8_t> silent;
  // The nth answer packet to a host command is not sent (its effect still happens).
  struct Drop {
    uint8_t command = 0;
    int nth = 0;
  };
  std::vector<Drop> drops;
  int corrupt_crc = 0;         // the nth packet the device sends has a wrong CRC (0: none)
  int wrong_backup_chunk = 0;  // the nth backup answer names another chunk (0: none)
  int disconnect_after = 0;    // the cable is pulled when this many host packets arrived
  bool refuse_update = false;  // the update loader refuses the apply request
};

struct Options {
  std::string socket_path;  // empty: a name in the emulator directory
  Mode mode = Mode::kNormal;
  std::string version = "2.0.0";
  std::string model = "ZORVA_RQ700";
  uint16_t release = kDefaultRelease;
  bool pacing = true;
  std::string log_file;
  std::string state_file;
  // A backup container the device starts from (its presets, user slots and settings).
  std::string backup_file;
  // End when standard input ends: a device run as another program's child goes with it.
  bool exit_with_input = false;
  Faults faults;

  // Variety a real device may show, for trying the host against it.
  DumpOrder dump_order = DumpOrder::kFixed;
  bool has_seed = false;  // without a seed one is picked and reported
  uint64_t seed = 0;
  bool pack = false;        // several packets in one report, packets cut anywhere
  int chatter_ms = 0;       // unasked knob, page and preset packets about this often
  bool record_echo = true;  // 0x86 after each 0xA6

  // The update loader: the image it is built to take, and where it leaves what it took.
  std::string firmware_file;
  std::string received_dir;
  // Answer codes that differ from the image's (a loader at odds with the image); -1: the
  // image's own.
  int apply_reply = -1;
  int block_reply = -1;
  bool help = false;
};

// Parses the arguments after the program name. False with a message on a bad option.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// The --help text: every option and control command.
const char* HelpText();

// A number in decimal or with 0x; false when it is not a whole number in [low, high].
bool ParseNumber(const std::string& text, long low, long high, long* value);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_OPTIONS_H_
