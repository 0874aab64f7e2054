#ifndef RQ700_FILES_JOB_RESULT_H_
#define RQ700_FILES_JOB_RESULT_H_

#include <string_view>

namespace rq700::files {

// How a job with the device (backup, restore, a transfer into a user slot, a preset
// import or export) ended. The window turns it into the system's own message box; the
// command line into a sentence and an exit status. A job never ends without one.
enum class JobResult {
  kDone,
  kCancelled,   // the user stopped it
  kTimedOut,    // the device stopped answering within the wait's time limit
  kDeviceGone,  // the device went away (or could not be opened)
  kRefused,     // the device answered, but not as the dialogue expects
  kBadFile,     // a file to send cannot be read or has the wrong format
  kIoError,     // a file cannot be written
};

// A short sentence for the command line, e.g. "the device stopped answering".
std::string_view JobResultText(JobResult result);

// Exit status of a command-line job: 0 done; 2 bad file; 3 write error; 4 device gone or
// not found; 5 timed out; 6 refused by the device; 130 cancelled (as for an interrupt).
int JobExitStatus(JobResult result);

}  // namespace rq700::files

#endif  // RQ700_FILES_JOB_RESULT_H_
