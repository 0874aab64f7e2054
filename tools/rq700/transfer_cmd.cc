// rq700 ir load / ir delete / amp load / preset import / preset export: the editor's
// transfers from a terminal, through the same jobs and protocol threads.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/messages.h"
#include "files/amp_job.h"
#include "files/ir_job.h"
#include "files/job_context.h"
#include "files/preset_export.h"
#include "files/preset_import.h"
#include "files/slot_name.h"
#include "tools/rq700/commands.h"
#include "tools/rq700/device_session.h"

namespace rq700::tool {
namespace {

// Takes "--slot N" (user slot 1..10) out of `args`; -1 with `error` set when it is
// missing or malformed. The result counts from 0, as the device does.
int TakeSlot(Args* args, std::string* error) {
  Args rest;
  int slot = -1;
  for (size_t i = 0; i < args->size(); ++i) {
    if ((*args)[i] != "--slot") {
      rest.push_back((*args)[i]);
      continue;
    }
    char* end = nullptr;
    const std::string value = i + 1 < args->size() ? (*args)[++i] : "";
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 1 || n > kUserSlots) {
      *error = "--slot takes a user slot number, 1 to 10";
      return -1;
    }
    slot = static_cast<int>(n - 1);
  }
  if (slot < 0 && error->empty()) *error = "--slot N is needed";
  *args = std::move(rest);
  return slot;
}

// "1,5,10-20" as preset indices 0..199 in ascending order; false on anything else.
bool ParseSlotList(const std::string& text, std::vector<int>* indices) {
  std::set<int> chosen;
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t comma = std::min(text.find(',', pos), text.size());
    const std::string part = text.substr(pos, comma - pos);
    const size_t dash = part.find('-');
    char* end = nullptr;
    const long first = std::strtol(part.substr(0, dash).c_str(), &end, 10);
    if (part.empty() || *end != '\0' || part[0] == '-') return false;
    long last = first;
    if (dash != std::string::npos) {
      const std::string tail = part.substr(dash + 1);
      last = std::strtol(tail.c_str(), &end, 10);
      if (tail.empty() || *end != '\0') return false;
    }
    if (first < 1 || last > kPresetCount || first > last) return false;
    for (long n = first; n <= last; ++n) chosen.insert(static_cast<int>(n - 1));
    pos = comma + 1;
  }
  indices->assign(chosen.begin(), chosen.end());
  return !indices->empty();
}

// A device command's common frame: the device options, the device found and opened with
// the protocol threads running, the job run with progress on stderr.
class DeviceCommand {
 public:
  explicit DeviceCommand(const char* label) : label_(label), state_(new DeviceState) {
    ResetToDefaults(*state_);
    device_ = std::make_unique<CliDeviceSession>(*state_);
  }

  DeviceState& state() { return *state_; }
  CliDeviceSession& device() { return *device_; }

  // Finds and opens the device; the exit status on failure, else 0.
  int Open(const DeviceOptions& given) {
    options_ = given;
    if (!FindDevice(&options_)) return JobFailed("no RQ700 found", files::JobResult::kDeviceGone);
    InstallCancelHandlers();
    const files::JobResult opened = device_->Open(options_.path, options_.idle_limit);
    if (opened != files::JobResult::kDone) return JobFailed(options_.path, opened);
    return 0;
  }

  files::JobResult Run(files::DeviceJob& job) {
    TerminalProgress progress(label_);
    files::JobContext context;
    context.cancel = &CancelToken();
    context.device_gone = [this] { return device_->gone(); };
    context.idle_limit = options_.idle_limit;
    context.progress = [&progress](int percent) { progress.Percent(percent); };
    const files::JobResult result = files::RunJob(job, context);
    progress.Finish();
    return result;
  }

 private:
  std::string label_;
  // Outlives the session: the protocol threads use it until they have ended.
  std::unique_ptr<DeviceState> state_;
  std::unique_ptr<CliDeviceSession> device_;
  DeviceOptions options_;
};

int PrintFileError(std::string_view text) {
  std::fprintf(stderr, "%s\n", std::string(text).c_str());
  return files::JobExitStatus(files::JobResult::kBadFile);
}

// Loads one user slot: prepares the file before the device is touched.
template <typename Job>
int LoadSlot(const Args& args, const char* usage, const char* label) {
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  const int slot = TakeSlot(&rest, &error);
  if (slot < 0) return Fail(error);
  if (rest.size() != 1) return Fail(usage);
  DeviceCommand command(label);
  Job job(command.state(), slot);
  if (!job.Prepare(rest[0])) return PrintFileError(files::kImportFileError);
  if (const int status = command.Open(options)) return status;
  if (!job.Start()) return JobFailed(label, files::JobResult::kRefused);
  const files::JobResult result = command.Run(job);
  if (result != files::JobResult::kDone) return JobFailed(label, result);
  std::printf("slot %d: %s\n", slot + 1, files::SlotDisplayName(job.name()).c_str());
  return 0;
}

}  // namespace

int IrLoad(const Args& args) {
  return LoadSlot<files::IrLoadJob>(
      args, "usage: rq700 ir load [--device PATH] [--wait SECONDS] --slot N FILE.wav", "ir load");
}

int AmpLoad(const Args& args) {
  return LoadSlot<files::AmpLoadJob>(
      args, "usage: rq700 amp load [--device PATH] [--wait SECONDS] --slot N FILE.amp", "amp load");
}

int IrDelete(const Args& args) {
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  const int slot = TakeSlot(&rest, &error);
  if (slot < 0) return Fail(error);
  if (!rest.empty())
    return Fail("usage: rq700 ir delete [--device PATH] [--wait SECONDS] --slot N");
  DeviceCommand command("ir delete");
  if (const int status = command.Open(options)) return status;
  files::IrDeleteJob job(command.state(), slot);
  if (!job.Start()) return JobFailed("ir delete", files::JobResult::kRefused);
  const files::JobResult result = command.Run(job);
  if (result != files::JobResult::kDone) return JobFailed("ir delete", result);
  std::printf("slot %d: %s\n", slot + 1, files::kEmptySlotName);
  return 0;
}

int PresetImport(const Args& args) {
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  if (rest.empty())
    return Fail("usage: rq700 preset import [--device PATH] [--wait SECONDS] FILE.zv...");
  // Every name is checked before the device is touched.
  files::PresetImportList list;
  const int checked = list.Set(rest);
  if (checked == files::kImportTooManyFiles) return PrintFileError(text::kTooManyFiles);
  if (checked != 0) return PrintFileError(text::kFileError);

  DeviceCommand command("preset import");
  command.device().session().sequencer().set_import_feed(&list);
  if (const int status = command.Open(options)) return status;
  files::PresetImportJob job(command.state(), list);
  if (!job.Start()) return JobFailed("preset import", files::JobResult::kRefused);
  const files::JobResult result = command.Run(job);
  if (result == files::JobResult::kBadFile) {
    return PrintFileError(job.code() == files::kImportBadName ? text::kFileNameError
                                                              : text::kFileError);
  }
  if (result != files::JobResult::kDone) return JobFailed("preset import", result);
  for (size_t i = 0; i < list.size(); ++i) {
    const int target = list.Target(static_cast<int>(i));
    std::printf("%s\n", PresetName(command.state(), target).c_str());
  }
  return 0;
}

int PresetExport(const Args& args) {
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  std::vector<int> indices;
  for (int i = 0; i < kPresetCount; ++i) indices.push_back(i);
  Args positional;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != "--slots") {
      positional.push_back(rest[i]);
    } else if (i + 1 >= rest.size() || !ParseSlotList(rest[++i], &indices)) {
      return Fail("--slots takes preset numbers 1 to 200, e.g. 1,5,10-20");
    }
  }
  if (positional.size() != 1)
    return Fail("usage: rq700 preset export [--device PATH] [--wait SECONDS] [--slots LIST] DIR");
  DeviceCommand command("preset export");
  if (const int status = command.Open(options)) return status;
  std::vector<std::string> written;
  const files::JobResult result =
      files::ExportPresets(command.state(), positional[0], indices, &written);
  for (const std::string& path : written) std::printf("%s\n", path.c_str());
  if (result != files::JobResult::kDone) return JobFailed(positional[0], result);
  return 0;
}

}  // namespace rq700::tool
