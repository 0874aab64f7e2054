#ifndef RQ700_EDITOR_LINK_SESSION_H_
#define RQ700_EDITOR_LINK_SESSION_H_

#include <memory>

#include "editor/device_session.h"
#include "link/hid_device.h"
#include "protocol/device_state.h"
#include "protocol/editor_session.h"

namespace rq700 {

// The real device side: the device by its path, the sequencer and the reader thread.
class LinkSession final : public DeviceSession {
 public:
  explicit LinkSession(DeviceState& state) : state_(state) {}
  ~LinkSession() override;

  bool Start(const std::string& path, WindowLink& link) override;
  void Stop(bool disconnected) override;
  void set_backup_restore_jobs(BackupRestoreJobs* jobs) override { jobs_ = jobs; }
  void SetImportFeed(PresetImportFeed* feed) override { import_feed_ = feed; }

  EditorSession* session() const { return session_.get(); }

 private:
  DeviceState& state_;
  CHidDevice device_;
  std::unique_ptr<EditorSession> session_;
  BackupRestoreJobs* jobs_ = nullptr;
  PresetImportFeed* import_feed_ = nullptr;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_LINK_SESSION_H_
