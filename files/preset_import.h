#ifndef RQ700_FILES_PRESET_IMPORT_H_
#define RQ700_FILES_PRESET_IMPORT_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/job_context.h"
#include "protocol/device_state.h"
#include "protocol/job_hooks.h"

// Preset files (.zv) into the device: one into the preset being edited, or up to 200 into
// the preset slots their names give ("P12-LEAD.zv" goes to preset 12).
namespace rq700::files {

// The outcome codes of an import, as the window shows them.
inline constexpr int kImportDone = 0;
inline constexpr int kImportFailed = 5;  // the device did not acknowledge in time
inline constexpr int kImportBadFile = 6;
inline constexpr int kImportTooManyFiles = 7;
inline constexpr int kImportBadName = 8;

inline constexpr int kMaxImportSelection = kMaxImportFiles;
// The import dialog hands its selection over in a buffer of this many characters: the
// folder and every name, each ended by a NUL, and one more NUL at the end.
inline constexpr size_t kImportSelectionChars = 8000;
inline constexpr size_t kImportNameMax = 15;

// A preset name taken from a file name: upper-case letters, digits and spaces, at least one.
bool PresetNameAllowed(std::string_view name);

// The file name of a UTF-8 path without folder (split at the last slash or backslash) and
// without its last extension.
std::string FileStem(std::string_view utf8_path);

// Target preset index (0..199) of a numbered file name: "P", then one to three digits
// giving 1..200. Nothing for any other name.
std::optional<int> NumberedTarget(std::string_view stem);

// Whether a selection of files fits the dialog's buffer (see kImportSelectionChars),
// counted in UTF-16 characters as the dialog counts them.
bool SelectionFitsBuffer(const std::vector<std::string>& utf8_paths);

// ---- One file into the edited preset ----

struct SingleImport {
  uint8_t record[record::kSize] = {};
  uint8_t name[record::kNameSize] = {};  // from the file name, NUL-padded
};

// Reads a file for the import into the edited preset: the record, and the name after the
// first "-" among the first six characters of the file name. 0 when it may go; -1 when the
// import ends silently (the file does not load, or there is no "-"); kImportBadName.
int ReadSingleImport(const std::string& utf8_path, SingleImport* out);

// Puts a read file into the preset being edited: the name into its stored record and list
// entry, every value into the edit model, marks it edited and raises the write (0x83).
void ApplySingleImport(DeviceState& state, const SingleImport& import);

// ---- Many files into their numbered slots ----

// The list of a multi-file import, which the import channel reads one entry at a time. It
// lives as long as the protocol threads; Set replaces its entries while no import runs.
class PresetImportList final : public PresetImportFeed {
 public:
  // Checks every name before anything is sent: kImportTooManyFiles beyond 200 files,
  // kImportBadFile for a name that is not numbered (see NumberedTarget); 0 when the list
  // is taken.
  int Set(const std::vector<std::string>& utf8_paths);
  size_t size() const;
  // The entry's target preset index, or -1.
  int Target(int entry) const;

  // On the sequencer thread.
  int LoadEntry(int entry, uint8_t* record, int* target_index) override;

  // The code of the last entry that failed to load (0 while none did); cleared by Set.
  int failed_code() const { return failed_code_.load(); }

 private:
  struct Entry {
    std::string path;
    int target = -1;
  };
  mutable std::mutex lock_;
  std::vector<Entry> entries_;
  std::atomic<int> failed_code_{0};
};

// A multi-file import as a job: the list is sent one file at a time, each acknowledged by
// the device before the next. Done when every file is stored; kBadFile when a file fails to
// load or its name breaks the rule (the files before it stay imported).
class PresetImportJob final : public DeviceJob {
 public:
  PresetImportJob(DeviceState& state, PresetImportList& list) : state_(state), list_(list) {}

  // Starts the import of the list's entries. False when another import is running.
  bool Start();

  std::optional<JobResult> Result() const override;
  int Percent() const override;
  uint64_t Activity() const override;
  void Abandon(JobResult result) override;

  // The outcome code for the window (kImportDone, kImportBadFile, ...), once ended.
  int code() const;

 private:
  DeviceState& state_;
  PresetImportList& list_;
  bool started_ = false;
  std::atomic<int> abandoned_{-1};  // the JobResult given to Abandon, or -1
};

}  // namespace rq700::files

#endif  // RQ700_FILES_PRESET_IMPORT_H_
