#include "files/amp_job.h"

#include <algorithm>

#include "files/amp_file.h"

namespace rq700::files {

bool AmpLoadJob::Prepare(const std::string& path) {
  AmpFile amp;
  if (!amp.Read(path)) return false;
  std::copy(amp.words().begin(), amp.words().end(), words_.begin());
  name_ = amp.slot_name();
  prepared_ = true;
  return true;
}

void AmpLoadJob::ShowName(const std::string& name) const { SetUserAmpName(state_, slot(), name); }

}  // namespace rq700::files
