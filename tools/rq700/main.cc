// rq700: checks, shows and converts the RQ700's files without the device.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/rq700/commands.h"

namespace rq700::tool {
namespace {

const Command kCommands[] = {
    {"preset", "check", "FILE", "Check a preset file (.zv): prints \"ok\" or \"error N\".",
     PresetCheck},
    {"devices", "", "",
     "List the RQ700s plugged in (real and virtual): path, mode, release and the firmware\n"
     "  version each answers with.",
     Devices},
    {"preset", "list", "[--device PATH] [--wait SECONDS]",
     "Read every preset from the device and print its list entry (P001: NAME ...).\n"
     "  Without --device the first RQ700 in normal mode that answers is used; --wait is\n"
     "  how long the device may stay silent (10 s).",
     PresetList},
    {"preset", "show", "FILE",
     "Show a preset file: name, chain, every module's model and values, volume, EXP.", PresetShow},
    {"preset", "diff", "A B",
     "Print what differs between two presets, named as the editor's panels name it: name,\n"
     "  chain positions, models, on/off, values, volume, EXP, switches. A and B are preset\n"
     "  files (.zv) or a backup's preset by number (FILE.zbf:N, N from 1 to 200).\n"
     "  Exit status: 0 equal, 1 different, 2 error.",
     PresetDiff},
    {"backup", "check", "FILE", "Check a backup file (.zbf) as a restore would.", BackupCheck},
    {"backup", "list", "FILE",
     "List a backup's records (name, type, item count, item length), then its items.", BackupList},
    {"backup", "", "[--device PATH] [--wait SECONDS] FILE",
     "Back the whole device up into FILE (.zbf): user amplifier and impulse-response\n"
     "  slots, system settings and the 200 presets. FILE is replaced only by a complete\n"
     "  backup. The device is found and waited for as by preset list.",
     BackupRun},
    {"restore", "", "[--device PATH] [--wait SECONDS] FILE",
     "Send a backup file (.zbf) back to the device, after checking it as backup check does.",
     RestoreRun},
    {"ir", "name", "FILE", "Print the slot name an impulse response (.wav) would get.", IrName},
    {"ir", "convert", "FILE", "Print the 512 words sent to the device, one per line.", IrConvert},
    {"amp", "check", "FILE", "Check an amplifier file (.amp): prints \"ok\" and its slot name.",
     AmpCheck},
    {"fw", "find", "DIR MODELTEXT",
     "Print the firmware image the updater would choose in DIR for a device model text\n"
     "  such as ZORVA_RQ700_V1.9.9.",
     FwFind},
    {"fw", "show", "FILE",
     "Show a firmware image (.zr): header, each segment, and the total block count.", FwShow},
    {"fw", "make", "OUT [OPTIONS] SEGMENT...",
     "Write a firmware image from segments.\n"
     "  SEGMENT is COMMAND,REPLY,TIMEOUT,FIRSTBLOCK,DATA where DATA is a file name,\n"
     "  @N for N bytes of a counting pattern, or =TEXT for the bytes of TEXT.\n"
     "  OPTIONS: --model TEXT (ZORVA_RQ700), --apply-command N (0xA0),\n"
     "  --apply-reply N (0xA1), --apply-timeout N (3000), --apply-param HEX (00000000).\n"
     "  Numbers may be decimal or 0x hexadecimal.",
     FwMake},
    {"ir", "load", "[--device PATH] [--wait SECONDS] --slot N FILE.wav",
     "Load an impulse response into user cabinet slot N (1-10) of the device; the slot\n"
     "  takes the file's name.",
     IrLoad},
    {"ir", "delete", "[--device PATH] [--wait SECONDS] --slot N",
     "Clear user cabinet slot N (1-10) of the device.", IrDelete},
    {"amp", "load", "[--device PATH] [--wait SECONDS] --slot N FILE.amp",
     "Load an amplifier file into user amplifier slot N (1-10) of the device.", AmpLoad},
    {"preset", "import", "[--device PATH] [--wait SECONDS] FILE.zv...",
     "Import up to 200 preset files into the presets their names give (P12-LEAD.zv\n"
     "  goes to preset 12); every name is checked before anything is sent.",
     PresetImport},
    {"preset", "export", "[--device PATH] [--wait SECONDS] [--slots LIST] DIR",
     "Export presets into DIR as P<n>-<name>.zv: all 200, or those in LIST (1,5,10-20).",
     PresetExport},
};

// "group name usage", without the empty parts.
std::string CommandLine(const Command& c) {
  std::string line = c.group;
  for (const char* part : {c.name, c.usage}) {
    if (*part) line += std::string(" ") + part;
  }
  return line;
}

void PrintUsage(FILE* out, const char* group) {
  if (!group) {
    std::fprintf(out,
                 "Usage: rq700 COMMAND ARGS...\n"
                 "Checks, shows and converts RQ700 files, and works with the device. Results go\n"
                 "to stdout, failures to stderr. Exit status: 0 success, 1 failure; commands\n"
                 "that talk to the device: 2 unreadable file, 3 file not written, 4 no device\n"
                 "or device gone, 5 device silent, 6 refused by the device, 130 interrupted.\n"
                 "\nCommands:\n");
  }
  for (const Command& c : kCommands) {
    if (group && std::strcmp(group, c.group) != 0) continue;
    std::fprintf(out, "  rq700 %s\n", CommandLine(c).c_str());
  }
  if (!group) std::fprintf(out, "\n'rq700 COMMAND --help' describes one command.\n");
}

bool IsHelp(const std::string& s) { return s == "--help" || s == "-h"; }

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "rq700: %s\n", message.c_str());
  return 1;
}

int Main(int argc, char** argv) {
  Args words(argv + 1, argv + argc);
  if (words.empty()) {
    PrintUsage(stderr, nullptr);
    return 1;
  }
  if (IsHelp(words[0])) {
    PrintUsage(stdout, nullptr);
    return 0;
  }
  bool group_known = false;
  for (const Command& c : kCommands) {
    if (words[0] != c.group) continue;
    group_known = true;
    // A command of one word ("devices") takes everything after it.
    const size_t taken = *c.name ? 2 : 1;
    if (*c.name && (words.size() < 2 || words[1] != c.name)) continue;
    Args args(words.begin() + taken, words.end());
    for (const std::string& a : args) {
      if (IsHelp(a)) {
        std::printf("Usage: rq700 %s\n  %s\n", CommandLine(c).c_str(), c.help);
        return 0;
      }
    }
    return c.run(args);
  }
  if (group_known && words.size() >= 2 && IsHelp(words[1])) {
    PrintUsage(stdout, words[0].c_str());
    return 0;
  }
  if (group_known) {
    PrintUsage(stderr, words[0].c_str());
    return 1;
  }
  Fail("unknown command '" + words[0] + "' (try rq700 --help)");
  return 1;
}

}  // namespace rq700::tool

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <filesystem>
#include <vector>

#include "files/file_io.h"

// Windows hands main its arguments in the ANSI code page, which cannot carry every file
// name: take the UTF-16 ones and go on in UTF-8, as everywhere in the program. The output
// is the same bytes as on other systems (no CR before each LF), so that a file made from
// it is the same file, and the console shows it as UTF-8.
int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (wide == nullptr) return 1;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i)
    args.push_back(rq700::files::Utf8Path(std::filesystem::path(wide[i])));
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return rq700::tool::Main(argc, argv.data());
}
#else
int main(int argc, char** argv) { return rq700::tool::Main(argc, argv); }
#endif
