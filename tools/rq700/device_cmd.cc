// rq700 devices / preset list: what is plugged in, and what it holds.
#include <cstdio>
#include <memory>
#include <string>

#include "launcher/detect.h"
#include "link/device_enum.h"
#include "link/launcher_device.h"
#include "tools/rq700/commands.h"
#include "tools/rq700/device_session.h"

namespace rq700::tool {

int Devices(const Args& args) {
  if (!args.empty()) return Fail("usage: rq700 devices");
  HidDeviceQueries queries;
  int found = 0;
  for (const DeviceEntry& entry : EnumerateDevices()) {
    if (entry.vendor_id != kRq700VendorId) continue;
    const bool normal = entry.product_id == kRq700NormalProductId;
    const bool update = entry.product_id == kRq700UpdateProductId;
    if (!normal && !update) continue;
    ++found;
    DeviceRecord record;
    // Only a device of the right release is asked; the launcher passes the others over.
    QueryResult answer = QueryResult::kFailed;
    if (entry.release_number == kRq700ReleaseNumber) {
      answer = normal ? queries.NormalModeQuery(entry.path, &record)
                      : queries.UpdateModeQuery(entry.path, &record);
    }
    std::string firmware = "-";
    if (answer == QueryResult::kAnswered) {
      firmware = record.Version();
    } else if (answer == QueryResult::kAccessDenied) {
      firmware = "(no access)";
    } else if (entry.release_number == kRq700ReleaseNumber) {
      firmware = "(no answer)";
    }
    std::printf("%s\t%s\trelease 0x%.4X\tfirmware %s\n", entry.path.c_str(),
                normal ? "normal" : "update", entry.release_number, firmware.c_str());
  }
  if (found == 0) {
    std::fprintf(stderr, "rq700: no RQ700 found\n");
    return files::JobExitStatus(files::JobResult::kDeviceGone);
  }
  return 0;
}

int PresetList(const Args& args) {
  Args rest = args;
  DeviceOptions options;
  std::string error;
  if (!TakeDeviceOptions(&rest, &options, &error)) return Fail(error);
  if (!rest.empty()) return Fail("usage: rq700 preset list [--device PATH] [--wait SECONDS]");
  if (!FindDevice(&options)) return JobFailed("no RQ700 found", files::JobResult::kDeviceGone);
  InstallCancelHandlers();
  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  CliDeviceSession device(*state);
  const files::JobResult opened = device.Open(options.path, options.idle_limit);
  if (opened != files::JobResult::kDone) return JobFailed(options.path, opened);
  for (int i = 0; i < kPresetCount; ++i) std::printf("%s\n", PresetName(*state, i).c_str());
  return 0;
}

}  // namespace rq700::tool
