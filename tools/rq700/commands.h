#ifndef RQ700_TOOLS_RQ700_COMMANDS_H_
#define RQ700_TOOLS_RQ700_COMMANDS_H_

#include <string>
#include <vector>

// The commands of the rq700 tool. Each takes its arguments after the command words and
// returns the exit status: 0 on success, 1 on failure (the failure's message on stderr).
namespace rq700::tool {

using Args = std::vector<std::string>;

struct Command {
  const char* group;  // "preset", "backup", ...
  const char* name;   // "check", "show", ...
  const char* usage;  // arguments, as shown in the help
  const char* help;   // what it does
  int (*run)(const Args& args);
};

int PresetCheck(const Args& args);
int PresetShow(const Args& args);
// Exit status 0 equal, 1 different, 2 error.
int PresetDiff(const Args& args);
int BackupCheck(const Args& args);
int BackupList(const Args& args);
int IrName(const Args& args);
int IrConvert(const Args& args);
int AmpCheck(const Args& args);
int FwFind(const Args& args);
int FwShow(const Args& args);
int FwMake(const Args& args);
int Devices(const Args& args);
int PresetList(const Args& args);
int BackupRun(const Args& args);
int RestoreRun(const Args& args);
int IrLoad(const Args& args);
int IrDelete(const Args& args);
int AmpLoad(const Args& args);
int PresetImport(const Args& args);
int PresetExport(const Args& args);

// Prints "rq700: <message>" on stderr and returns 1.
int Fail(const std::string& message);

}  // namespace rq700::tool

#endif  // RQ700_TOOLS_RQ700_COMMANDS_H_
