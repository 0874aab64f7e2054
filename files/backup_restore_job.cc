#include "files/backup_restore_job.h"

#include <algorithm>
#include <cstring>

#include "link/packet.h"

namespace rq700::files {
namespace {

constexpr int kSlotsPerSection = 10;
constexpr uint8_t kEmptySlot = 255;
constexpr int kSystemSection = 3;
constexpr uint32_t kMaxChunk = 255;
// Chunks per slot: the amplifier slots (section 1) have five, the impulse responses four.
int ChunksOf(int section) { return section == 1 ? 5 : 4; }
// Backup progress counts the chunks asked for: 10 x 5, 10 x 4 and the system chunk.
constexpr int kBackupSteps = kSlotsPerSection * 5 + kSlotsPerSection * 4 + 1;

}  // namespace

BackupRestoreJob::BackupRestoreJob(DeviceState& state) : state_(state) {}

BackupRestoreJob::~BackupRestoreJob() { Abandon(JobResult::kCancelled); }

bool BackupRestoreJob::running() const { return mode_.load() != Mode::kIdle; }

std::optional<JobResult> BackupRestoreJob::Result() const {
  const int result = result_.load(std::memory_order_acquire);
  if (result == kNoResult) return std::nullopt;
  return static_cast<JobResult>(result);
}

void BackupRestoreJob::Begin(Mode mode) {
  mode_ = mode;
  result_.store(kNoResult);
  restore_ = mode == Mode::kRestore;
  percent_ = 0;
  state_.transfer_section = 1;
  state_.transfer_slot = 1;
  state_.transfer_chunk = 1;
}

// Back to idle: the counters to 1, no request pending, the files closed (a backup not
// finished is dropped, so the path keeps what it had).
void BackupRestoreJob::End(JobResult result) {
  if (mode_ == Mode::kIdle) return;
  mode_ = Mode::kIdle;
  state_.backup_request = 0;
  state_.restore_request = 0;
  state_.transfer_section = 1;
  state_.transfer_slot = 1;
  state_.transfer_chunk = 1;
  writer_.Abandon();
  reader_.Close();
  record_ = BackupRecord{};
  item_.clear();
  restore_item_ = BackupItem{};
  item_loaded_ = false;
  if (result != JobResult::kDone) percent_ = 0;
  result_.store(static_cast<int>(result), std::memory_order_release);
}

void BackupRestoreJob::Abandon(JobResult result) {
  std::lock_guard<std::mutex> hold(lock_);
  End(result);
}

// ---- Backup ----

JobResult BackupRestoreJob::StartBackup(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kIdle) return JobResult::kRefused;
  // Created now rather than after the first section: a path that cannot be written is
  // told at once, not after the device has been read.
  if (!writer_.Create(path)) {
    result_.store(static_cast<int>(JobResult::kIoError));
    return JobResult::kIoError;
  }
  Begin(Mode::kBackup);
  record_ = BackupRecord{std::string(kRecordNameAmps), kRecordUserAmps, {}};
  item_.clear();
  item_.reserve(ChunksOf(1) * kRestoreChunkSize);
  return JobResult::kDone;
}

size_t BackupRestoreJob::EncodeBackupRequest(uint8_t* payload, size_t capacity) {
  if (state_.backup_request.exchange(0, std::memory_order_acquire) == 0) return 0;
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kBackup || capacity < 3) return 0;
  payload[0] = static_cast<uint8_t>(state_.transfer_section.load());
  payload[1] = static_cast<uint8_t>(state_.transfer_slot.load());
  payload[2] = static_cast<uint8_t>(state_.transfer_chunk.load());
  return 3;
}

void BackupRestoreJob::SetBackupPercent() {
  const int section = state_.transfer_section, slot = state_.transfer_slot;
  const int chunk = state_.transfer_chunk;
  int done = kBackupSteps - 1;
  if (section == 1) done = (slot - 1) * 5 + chunk - 1;
  if (section == 2) done = kSlotsPerSection * 5 + (slot - 1) * 4 + chunk - 1;
  percent_ = done * 100 / kBackupSteps;
}

bool BackupRestoreJob::WriteSectionRecord(int section) {
  if (!writer_.WriteRecord(record_)) {
    End(JobResult::kIoError);
    return false;
  }
  record_ = section == 1 ? BackupRecord{std::string(kRecordNameIrs), kRecordUserIrs, {}}
                         : BackupRecord{std::string(kRecordNameSystem), kRecordSystem, {}};
  return true;
}

// After a slot is complete or empty: the next slot, or after slot 10 the section's record
// and the next section.
void BackupRestoreJob::NextBackupSlot() {
  item_.clear();
  const int section = state_.transfer_section;
  const int slot = state_.transfer_slot;
  state_.transfer_chunk = 1;
  if (slot < kSlotsPerSection) {
    state_.transfer_slot = slot + 1;
    return;
  }
  if (!WriteSectionRecord(section)) return;
  state_.transfer_section = section + 1;
  state_.transfer_slot = 1;
}

void BackupRestoreJob::FinishBackup() {
  BackupRecord presets{std::string(kRecordNamePresets), kRecordPresets, {}};
  presets.items.resize(kPresetCount);
  for (int i = 0; i < kPresetCount; ++i) {
    presets.items[i].number = static_cast<uint16_t>(i + 1);
    presets.items[i].data.resize(record::kSize);
    ReadRecord(state_, i, presets.items[i].data.data());
  }
  if (!writer_.WriteRecord(record_) || !writer_.WriteRecord(presets) || !writer_.Finish()) {
    End(JobResult::kIoError);
    return;
  }
  percent_ = 100;
  End(JobResult::kDone);
}

void BackupRestoreJob::OnBackupData(const uint8_t* packet, size_t size) {
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kBackup) return;
  const size_t length = PacketLength(packet);
  if (length < 4 || length + kPacketOverhead > size) return;  // no section, slot, chunk
  ++activity_;
  const uint8_t* p = packet + kPacketPayloadOffset;
  const uint8_t* data = p + 3;
  const size_t data_size = length - 4;
  const int section = state_.transfer_section;
  const int slot = state_.transfer_slot;
  const int chunk = state_.transfer_chunk;
  // An answer for another place would put its data where it does not belong.
  if (p[0] != section || p[1] != slot) return End(JobResult::kRefused);

  if (section == kSystemSection) {
    if (p[2] != chunk) return End(JobResult::kRefused);
    record_.items.push_back({1, std::vector<uint8_t>(data, data + data_size)});
    return FinishBackup();
  }
  if (p[2] == kEmptySlot) {
    NextBackupSlot();
  } else if (p[2] != chunk) {
    return End(JobResult::kRefused);
  } else {
    item_.insert(item_.end(), data, data + data_size);
    if (chunk < ChunksOf(section)) {
      state_.transfer_chunk = chunk + 1;
    } else {
      // The container keeps one item length per record.
      if (!record_.items.empty() && record_.items.back().data.size() != item_.size())
        return End(JobResult::kRefused);
      record_.items.push_back({static_cast<uint16_t>(slot), item_});
      NextBackupSlot();
    }
  }
  if (mode_ != Mode::kBackup) return;
  SetBackupPercent();
  state_.backup_request.store(1, std::memory_order_release);
}

// ---- Restore ----

JobResult BackupRestoreJob::StartRestore(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kIdle) return JobResult::kRefused;
  // Beyond the container's checks: something to send, and no item with more chunks than
  // the one-byte chunk number can count.
  bool sendable = reader_.Open(path) && reader_.record_count() > 0;
  for (int i = 0; sendable && i < reader_.record_count(); ++i) {
    BackupRecordHeader record;
    sendable = reader_.ReadRecordHeader(i, &record) && record.item_count > 0 &&
               RestoreChunkCount(record.item_length) <= kMaxChunk;
  }
  if (!sendable) {
    reader_.Close();
    result_.store(static_cast<int>(JobResult::kBadFile));
    return JobResult::kBadFile;
  }
  Begin(Mode::kRestore);
  bytes_sent_ = 0;
  item_loaded_ = false;
  return JobResult::kDone;
}

// The record and item of the current section and slot, read when their first chunk goes.
bool BackupRestoreJob::LoadRestoreItem() {
  const int section = state_.transfer_section, slot = state_.transfer_slot;
  if (slot == 1 && !reader_.ReadRecordHeader(section - 1, &restore_record_)) return false;
  if (!reader_.ReadItem(restore_record_, static_cast<uint32_t>(slot - 1), &restore_item_))
    return false;
  item_loaded_ = true;
  return true;
}

size_t BackupRestoreJob::EncodeRestoreChunk(uint8_t* payload, size_t capacity) {
  if (state_.restore_request.exchange(0, std::memory_order_acquire) == 0) return 0;
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kRestore) return 0;
  const uint32_t chunk = static_cast<uint32_t>(state_.transfer_chunk.load());
  if (chunk == 1 && !item_loaded_ && !LoadRestoreItem()) {
    End(JobResult::kBadFile);
    return 0;
  }
  const std::span<const uint8_t> part = RestoreChunk(restore_item_.data, chunk);
  if (capacity < 3 + part.size()) return 0;
  payload[0] = restore_record_.type;
  payload[1] = static_cast<uint8_t>(restore_item_.number & 0xFF);
  payload[2] = static_cast<uint8_t>(chunk);
  std::memcpy(payload + 3, part.data(), part.size());
  bytes_sent_ += part.size() + (chunk == 1 ? kBackupItemHeaderSize : 0);
  percent_ = reader_.ProgressPercent(bytes_sent_);
  return 3 + part.size();
}

void BackupRestoreJob::OnRestoreAck(const uint8_t* p, size_t size) {
  std::lock_guard<std::mutex> hold(lock_);
  if (mode_ != Mode::kRestore || size < 3) return;
  ++activity_;
  const int chunk = state_.transfer_chunk;
  // Byte 1 (the item) is not compared: the device echoes only its low byte.
  if (p[0] != restore_record_.type || p[2] != chunk) return End(JobResult::kRefused);
  const int slot = state_.transfer_slot, section = state_.transfer_section;
  if (static_cast<uint32_t>(chunk) < RestoreChunkCount(restore_record_.item_length)) {
    state_.transfer_chunk = chunk + 1;
  } else if (static_cast<uint32_t>(slot) < restore_record_.item_count) {
    state_.transfer_slot = slot + 1;
    state_.transfer_chunk = 1;
    item_loaded_ = false;
  } else if (section < reader_.record_count()) {
    state_.transfer_section = section + 1;
    state_.transfer_slot = 1;
    state_.transfer_chunk = 1;
    item_loaded_ = false;
  } else {
    percent_ = 100;
    return End(JobResult::kDone);
  }
  state_.restore_request.store(1, std::memory_order_release);
}

}  // namespace rq700::files
