#include "files/job_result.h"

namespace rq700::files {

std::string_view JobResultText(JobResult result) {
  switch (result) {
    case JobResult::kDone:
      return "done";
    case JobResult::kCancelled:
      return "cancelled";
    case JobResult::kTimedOut:
      return "the device stopped answering";
    case JobResult::kDeviceGone:
      return "the device is gone";
    case JobResult::kRefused:
      return "the device refused the transfer";
    case JobResult::kBadFile:
      return "the file cannot be read or has the wrong format";
    case JobResult::kIoError:
      return "the file cannot be written";
  }
  return "failed";
}

int JobExitStatus(JobResult result) {
  switch (result) {
    case JobResult::kDone:
      return 0;
    case JobResult::kBadFile:
      return 2;
    case JobResult::kIoError:
      return 3;
    case JobResult::kDeviceGone:
      return 4;
    case JobResult::kTimedOut:
      return 5;
    case JobResult::kRefused:
      return 6;
    case JobResult::kCancelled:
      return 130;
  }
  return 1;
}

}  // namespace rq700::files
