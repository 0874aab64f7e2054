#include "editor/link_session.h"

namespace rq700 {

LinkSession::~LinkSession() { Stop(false); }

bool LinkSession::Start(const std::string& path, WindowLink& link) {
  if (session_ != nullptr) return false;
  session_ = std::make_unique<EditorSession>(state_, device_, link);
  session_->sequencer().set_backup_restore_jobs(jobs_);
  session_->dispatcher().set_backup_restore_jobs(jobs_);
  session_->sequencer().set_import_feed(import_feed_);
  if (!session_->Start(path)) {
    session_.reset();
    return false;
  }
  return true;
}

void LinkSession::Stop(bool /*disconnected*/) {
  // The threads know themselves whether the reader ended the run: it is then left to
  // return from its report on its own, and only the sequencer is joined.
  if (session_ != nullptr) session_->Shutdown();
}

}  // namespace rq700
