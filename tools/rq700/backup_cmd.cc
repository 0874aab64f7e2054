// rq700 backup check / list, and the whole-device backup and restore.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/backup_reader.h"
#include "files/backup_restore_job.h"
#include "tools/rq700/commands.h"
#include "tools/rq700/device_session.h"

namespace rq700::tool {

namespace {

// The restore's message, with the line break a terminal shows.
void PrintWrongFormat() {
  std::string text(files::kWrongBackupFormat);
  const size_t crlf = text.find("\r\n");
  if (crlf != std::string::npos) text.replace(crlf, 2, "\n");
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

int BackupCheck(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 backup check FILE");
  files::BackupReader reader;
  if (!reader.Open(args[0])) {
    PrintWrongFormat();
    return 1;
  }
  std::printf("ok\n");
  return 0;
}

int BackupList(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 backup list FILE");
  files::BackupReader reader;
  if (!reader.Open(args[0])) {
    PrintWrongFormat();
    return 1;
  }
  std::vector<files::BackupRecordHeader> records(reader.record_count());
  for (int i = 0; i < reader.record_count(); ++i) {
    if (!reader.ReadRecordHeader(i, &records[i]))
      return Fail("cannot read record " + std::to_string(i + 1));
    const auto& r = records[i];
    std::printf("%s %u %u %u\n", r.name.c_str(), r.type, r.item_count, r.item_length);
  }
  for (const auto& r : records) {
    for (uint32_t k = 0; k < r.item_count; ++k) {
      files::BackupItem item;
      if (!reader.ReadItem(r, k, &item)) return Fail("cannot read an item of " + r.name);
      std::printf("%s %u\n", r.name.c_str(), item.number);
    }
  }
  return 0;
}

namespace {

// The backup or restore of the device at --device (else the first one found) with FILE,
// through the editor's own job and protocol threads.
int RunTransfer(const Args& args, bool restore) {
  const char* name = restore ? "restore" : "backup";
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  if (rest.size() != 1)
    return Fail(std::string("usage: rq700 ") + name + " [--device PATH] [--wait SECONDS] FILE");
  const std::string& file = rest[0];

  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  // Declared before the session: the protocol threads call it until they end.
  files::BackupRestoreJob job(*state);
  // The file first: a restore file that fails its checks, or a backup path that cannot be
  // written, is told before the device is touched.
  const files::JobResult prepared = restore ? job.StartRestore(file) : job.StartBackup(file);
  if (prepared == files::JobResult::kBadFile) {
    PrintWrongFormat();
    return files::JobExitStatus(prepared);
  }
  if (prepared != files::JobResult::kDone) return JobFailed(file, prepared);

  if (!FindDevice(&options)) return JobFailed("no RQ700 found", files::JobResult::kDeviceGone);
  InstallCancelHandlers();
  CliDeviceSession device(*state);
  device.session().sequencer().set_backup_restore_jobs(&job);
  device.session().dispatcher().set_backup_restore_jobs(&job);
  const files::JobResult opened = device.Open(options.path, options.idle_limit);
  if (opened != files::JobResult::kDone) return JobFailed(options.path, opened);

  TerminalProgress progress(name);
  files::JobContext context;
  context.progress = [&progress](int percent) { progress.Percent(percent); };
  context.cancel = &CancelToken();
  context.device_gone = [&device] { return device.gone(); };
  context.idle_limit = options.idle_limit;
  (restore ? state->restore_request : state->backup_request).store(1, std::memory_order_release);
  const files::JobResult result = files::RunJob(job, context);
  progress.Finish();
  device.Close();
  if (result != files::JobResult::kDone) return JobFailed(name, result);
  std::printf(restore ? "restored %s\n" : "backed up into %s\n", file.c_str());
  return 0;
}

}  // namespace

int BackupRun(const Args& args) { return RunTransfer(args, false); }

int RestoreRun(const Args& args) { return RunTransfer(args, true); }

}  // namespace rq700::tool
