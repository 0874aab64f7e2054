#include "emulator/options.h"

#include <cerrno>
#include <cstdlib>

namespace rq700::emu {

const char* HelpText() {
  return R"(Usage: rq700-emu [OPTION]...
A virtual RQ700 on a local socket, for running and testing the suite without the device.

Options:
  --socket PATH        listen at PATH and announce it (default: rq700-<pid>.sock in the
                       emulator directory: $RQ700_EMU_DIR, else $XDG_RUNTIME_DIR/rq700-emu,
                       else /tmp/rq700-emu-<uid>, made 0700 and used only while
                       it is yours alone)
  --mode normal|update start in normal mode (product 0x5703) or in the update loader
                       (product 0x5750); default normal
  --version TEXT       firmware version reported by the device (default 2.0.0)
  --model TEXT         model text reported by the device (default ZORVA_RQ700)
  --release N          USB release number announced (default 0x00C8)
  --no-pacing          send and take reports as fast as possible (tests); by default one
                       report per millisecond in each direction, as a full-speed USB HID
                       endpoint allows
  --log FILE           write every packet to FILE: "H>D <hex>" from the host, "D>H <hex>"
                       from the device, "H>D RAW <hex>" for host reports without a packet
                       start (the start-up report, the update wake-up report)
  --state FILE         load the device state from FILE if it exists and keep it there, so
                       changes survive a restart
  --backup FILE        start with the presets, user amplifier and impulse-response slots
                       and system settings of the backup FILE (.zbf), as a restore of it
                       would leave the device; a file of the wrong format is refused with
                       exit status 3. Not together with --state
  --exit-with-input    quit when standard input ends (by default the end of input is not a
                       quit), so that a device run by another program ends with it
  --help               show this text and exit

Device-side variety (the host must cope with each):
  --dump-order fixed|shuffled[:SEED]
                       order of the dump's packets: fixed (default), or shuffled with
                       only record 199 last among the records; version, names, system,
                       tempo, EXP and the other setting packets may also follow it
  --seed N             seed of every random choice (shuffle, packing, chatter); without
                       one the emulator picks a seed and prints "seed N" on stderr
  --pack               pack several packets into one report and cut packets at random
                       points, instead of starting each packet in a report of its own
  --chatter MS         send unasked knob, page and preset packets at random times, about
                       every MS milliseconds, while a host is connected in normal mode
  --no-record-echo     send no 0x86 record after 0xA6 (neither in the dump, nor as the
                       answer to the host's 0xA6, nor after a preset change on the device)

Update loader:
  --firmware FILE      the firmware image the loader is built to take: the codes of its
                       apply request and answer, each segment's data command,
                       acknowledgement code, first block number and whole blocks. The
                       loader refuses any block that differs from it. Without it the
                       loader answers no apply request
  --received-dir DIR   when the update finishes, write the data the loader took to
                       DIR/segment-K.bin, one file per segment
  --apply-reply N      answer the apply request with code N instead of the image's
  --block-reply N      acknowledge blocks with code N instead of the image's

Faults:
  --silent CMD[,CMD]   ignore these host commands entirely (no answer, no change)
  --drop-ack CMD:N     do not send the Nth answer packet to host command CMD
                       (may be repeated)
  --corrupt-crc N      send the Nth device packet with a wrong CRC
  --wrong-backup-chunk N
                       answer the Nth backup request with another chunk number
  --refuse-update      refuse the update loader's apply request
  --disconnect-after N pull the cable when the Nth host packet arrives (it is not
                       answered); the device is plugged in again for the next host

Command codes and numbers are decimal or hexadecimal with 0x. Every host packet of the
wrong length, and every loader request out of turn, is refused as the protocol refuses it
(acknowledgement 0, record type 0, or no answer) and logged as "REFUSED <reason>".

Control commands, one per line on standard input:
  knob M P V           turn a knob: module type M (1-9), parameter P counted from 1,
                       value V; the device sends that module's packet with the new value
                       (EQ parameters 7-9 are the band frequencies, MOD parameter 5 its
                       wide value, DELAY parameters 1-6 its six values)
  preset N             switch to preset N (0-199) and tell the host
  system B V           set system byte B (0-9) to V and report the system bytes
  send CMD [BYTE...]   send any packet as the device (command and payload bytes), to
                       try the host's handling of it, e.g. "send 0x82 3 1 0"
  unplug               drop the host, stop listening and withdraw the announcement
  plug                 listen and announce again after unplug
  reboot normal|update restart the device in that mode (the host sees a new device)
  unsaved              report "unsaved N" when the working preset holds edits not stored
                       in preset N (0-199), else "unsaved none"
  store                store the working preset into the current preset, as the unit's
                       own store button; reports "stored N"
  save-backup FILE     write the device's state to FILE as a backup of the device would
                       hold it (written beside FILE and renamed over it when complete);
                       reports "backup saved FILE" or "error: ..." on stderr
  quit                 withdraw the announcement and exit

On start the emulator prints "ready <socket path>" once it accepts connections.
In update mode the loader takes, in this order: the wake-up report (8 zero bytes), the
start request, the identity request, the apply request, every block of every segment
once and in order, and the finish request, after which the device reboots into normal
mode. It takes its new version from the firmware data, which carries the model text
followed by "_V" and the version (for example ZORVA_RQ700_V2.0.1).
)";
}

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  if (parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

namespace {

bool ParseCommandList(const std::string& text, std::vector<uint8_t>* out) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string item =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    long code;
    if (!ParseNumber(item, 0, 255, &code)) return false;
    out->push_back(static_cast<uint8_t>(code));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  auto fail = [&](const std::string& message) {
    *error = message;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    auto number = [&](long low, long high, long* out) {
      std::string text;
      return value(&text) && ParseNumber(text, low, high, out);
    };
    std::string text;
    long n = 0;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--socket") {
      if (!value(&options->socket_path) || options->socket_path.empty())
        return fail("--socket needs a path");
    } else if (arg == "--mode") {
      if (!value(&text)) return fail("--mode needs normal or update");
      if (text == "normal") {
        options->mode = Mode::kNormal;
      } else if (text == "update") {
        options->mode = Mode::kUpdate;
      } else {
        return fail("--mode must be normal or update, not '" + text + "'");
      }
    } else if (arg == "--version") {
      if (!value(&options->version)) return fail("--version needs a text");
    } else if (arg == "--model") {
      if (!value(&options->model)) return fail("--model needs a text");
    } else if (arg == "--release") {
      if (!number(0, 0xFFFF, &n)) return fail("--release needs a number from 0 to 0xFFFF");
      options->release = static_cast<uint16_t>(n);
    } else if (arg == "--no-pacing") {
      options->pacing = false;
    } else if (arg == "--log") {
      if (!value(&options->log_file)) return fail("--log needs a file");
    } else if (arg == "--state") {
      if (!value(&options->state_file)) return fail("--state needs a file");
    } else if (arg == "--backup") {
      if (!value(&options->backup_file) || options->backup_file.empty())
        return fail("--backup needs a backup file");
    } else if (arg == "--exit-with-input") {
      options->exit_with_input = true;
    } else if (arg == "--dump-order") {
      if (!value(&text)) return fail("--dump-order needs fixed or shuffled[:SEED]");
      if (text == "fixed") {
        options->dump_order = DumpOrder::kFixed;
      } else if (text.rfind("shuffled", 0) == 0) {
        options->dump_order = DumpOrder::kShuffled;
        if (text.size() > 8) {
          if (text[8] != ':' || !ParseNumber(text.substr(9), 0, 2147483647L, &n))
            return fail("--dump-order shuffled takes a seed from 0 as shuffled:SEED");
          options->has_seed = true;
          options->seed = static_cast<uint64_t>(n);
        }
      } else {
        return fail("--dump-order must be fixed or shuffled[:SEED], not '" + text + "'");
      }
    } else if (arg == "--seed") {
      if (!number(0, 2147483647L, &n)) return fail("--seed needs a number from 0");
      options->has_seed = true;
      options->seed = static_cast<uint64_t>(n);
    } else if (arg == "--pack") {
      options->pack = true;
    } else if (arg == "--chatter") {
      if (!number(1, 3600000, &n)) return fail("--chatter needs milliseconds from 1");
      options->chatter_ms = static_cast<int>(n);
    } else if (arg == "--no-record-echo") {
      options->record_echo = false;
    } else if (arg == "--firmware") {
      if (!value(&options->firmware_file) || options->firmware_file.empty())
        return fail("--firmware needs an image file");
    } else if (arg == "--received-dir") {
      if (!value(&options->received_dir) || options->received_dir.empty())
        return fail("--received-dir needs a folder");
    } else if (arg == "--apply-reply") {
      if (!number(0, 255, &n)) return fail("--apply-reply needs a command code 0-255");
      options->apply_reply = static_cast<int>(n);
    } else if (arg == "--block-reply") {
      if (!number(0, 255, &n)) return fail("--block-reply needs a command code 0-255");
      options->block_reply = static_cast<int>(n);
    } else if (arg == "--silent") {
      if (!value(&text) || !ParseCommandList(text, &options->faults.silent))
        return fail("--silent needs command codes separated by commas");
    } else if (arg == "--drop-ack") {
      const size_t colon = value(&text) ? text.find(':') : std::string::npos;
      long code, nth;
      if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 0, 255, &code) ||
          !ParseNumber(text.substr(colon + 1), 1, 1000000, &nth))
        return fail("--drop-ack needs CMD:N, for example 0xE1:2");
      options->faults.drops.push_back({static_cast<uint8_t>(code), static_cast<int>(nth)});
    } else if (arg == "--corrupt-crc") {
      if (!number(1, 1000000000, &n)) return fail("--corrupt-crc needs a packet number from 1");
      options->faults.corrupt_crc = static_cast<int>(n);
    } else if (arg == "--wrong-backup-chunk") {
      if (!number(1, 1000000, &n)) return fail("--wrong-backup-chunk needs a number from 1");
      options->faults.wrong_backup_chunk = static_cast<int>(n);
    } else if (arg == "--refuse-update") {
      options->faults.refuse_update = true;
    } else if (arg == "--disconnect-after") {
      if (!number(1, 1000000000, &n)) return fail("--disconnect-after needs a number from 1");
      options->faults.disconnect_after = static_cast<int>(n);
    } else {
      return fail("unknown option '" + arg + "' (see --help)");
    }
  }
  // Both would decide the state the device starts with.
  if (!options->backup_file.empty() && !options->state_file.empty())
    return fail("--backup and --state cannot be used together");
  return true;
}

}  // namespace rq700::emu
