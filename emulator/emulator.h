#ifndef RQ700_EMULATOR_EMULATOR_H_
#define RQ700_EMULATOR_EMULATOR_H_

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "emulator/device_state.h"
#include "emulator/loader_image.h"
#include "emulator/options.h"
#include "emulator/packet_log.h"
#include "link/hid_port.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700::emu {

using Report = std::array<uint8_t, kReportSize>;

// Where the update loader stands in its dialogue with the updater.
enum class LoaderState {
  kAsleep,      // just started: waits for the wake-up report
  kAwake,       // woken: answers the identity request, waits for the start request
  kStarted,     // start request taken: waits for the identity request
  kIdentified,  // waits for the apply request
  kReceiving,   // apply accepted: takes each block once, in order
  kComplete,    // every block taken: waits for the finish request
};

// The device side of the virtual RQ700, free of any transport: host reports go in, device
// reports come out. Normal mode answers the editor's and launcher's commands and plays
// the device's own knobs; update mode is the loader that takes a firmware image. Both are
// strict: a packet of the wrong length or out of turn is refused as the protocol refuses
// it (acknowledgement 0, record type 0, or no answer) and the refusal is logged. One
// thread at a time uses an object.
class DeviceEmulator : private PacketSink {
 public:
  explicit DeviceEmulator(const Options& options);

  // A new host took the device: nothing of the previous connection's stream is kept. The
  // device's own state, the update loader's included, does not notice the host changing.
  void Connect();

  // One report from the host (65 bytes: report ID, count, payload).
  void OnHostReport(const uint8_t* report);

  // The next report for the host; false when none is waiting.
  bool PopReport(uint8_t* report);
  // Reports waiting, counted as if each packet started a report of its own.
  size_t pending_reports() const { return queued_reports_; }

  // The passing of time while a host is connected: sends the unasked chatter (--chatter).
  void Tick(uint64_t now_ms);

  // Set when the connection must end now: a disconnect fault fired or the device rebooted.
  // Reading clears it.
  bool TakeDisconnect();
  // Set when the mode changed (the announcement must change). Reading clears it.
  bool TakeModeChange();
  // Set when something worth keeping in the state file changed. Reading clears it.
  bool TakeStateChange();

  // Control commands of the player. Each returns false with a message on bad input.
  bool TurnKnob(int module, int param, long value, std::string* error);
  bool SwitchPreset(long index, std::string* error);
  bool SetSystemByte(long byte, long value, std::string* error);
  // Sends any packet as the device, for trying the host's handling of it.
  bool SendRaw(long command, const std::vector<long>& payload, std::string* error);
  // Restarts the device in `mode`: the host loses the connection.
  void Reboot(Mode mode);

  Mode mode() const { return mode_; }
  const std::string& version() const { return version_; }
  uint16_t product_id() const {
    return mode_ == Mode::kNormal ? kNormalProductId : kUpdateProductId;
  }
  DeviceState& state() { return state_; }
  const DeviceState& state() const { return state_; }
  PacketLog& log() { return log_; }

  // The firmware the update loader is built to take (--firmware). Without one it knows
  // no apply request and takes no block.
  void SetLoaderImage(LoaderImage image) {
    loader_image_ = std::move(image);
    has_loader_image_ = true;
  }
  LoaderState loader_state() const { return loader_state_; }
  // Update loader progress and the data taken so far, per segment of its image.
  int blocks_received() const { return blocks_received_; }
  const std::vector<std::vector<uint8_t>>& received() const { return received_; }

  // The seed of the random choices (dump order, packing, chatter).
  uint64_t seed() const { return seed_; }
  // Host packets and reports refused so far.
  int refusals() const { return refusals_; }

 private:
  void OnPacket(const uint8_t* packet, size_t size) override;
  void HandleNormal(uint8_t command, const uint8_t* payload, size_t size);
  void HandleUpdate(uint8_t command, const uint8_t* payload, size_t size);

  // Sends a packet the device originates.
  void Emit(uint8_t command, const uint8_t* payload, size_t size);
  // Sends an answer to host command `request`, unless a drop fault takes it.
  void Answer(uint8_t request, uint8_t command, const uint8_t* payload, size_t size);

  // Logs why a host packet or report was refused.
  void Refuse(const std::string& reason);
  // True when `size` is the payload size `command` must have; refuses it otherwise.
  bool ExactSize(uint8_t command, size_t size, size_t wanted);

  void SendDump();
  void SendModule(int module);
  void SendRecordEcho();
  void Chatter();
  void SendIdentityReply();
  void OnLoaderRaw(const uint8_t* payload, size_t count);
  void OnLoaderBlock(uint8_t command, const uint8_t* p);
  void OnLoaderFinish();
  void ResetLoader(LoaderState state);
  void OnModule(int module, const uint8_t* payload, size_t size);
  void OnChain(const uint8_t* payload, size_t size);
  void OnSlotTransfer(uint8_t command, const uint8_t* payload, size_t size);
  void OnBackupRequest(const uint8_t* payload, size_t size);
  void OnRestoreChunk(const uint8_t* payload, size_t size);
  void LoadWorking(int index);
  void SyncOffFlag(int module);
  bool IsSilent(uint8_t command) const;

  Options options_;
  Mode mode_;
  std::string version_;
  DeviceState state_;
  PacketLog log_;

  RxRing ring_;
  PacketParser parser_;
  // Bytes for the host, and the size left of each packet among them: without --pack each
  // packet starts a report of its own; with it, reports are cut anywhere.
  std::deque<uint8_t> outbox_;
  std::deque<size_t> outbox_packets_;
  size_t queued_reports_ = 0;
  std::vector<uint8_t> tx_;
  std::mt19937_64 random_;
  uint64_t seed_ = 0;
  uint64_t next_chatter_ms_ = 0;
  int refusals_ = 0;

  bool disconnect_ = false;
  bool mode_changed_ = false;
  bool state_changed_ = false;
  int host_packets_ = 0;
  int device_packets_ = 0;
  int backup_answers_ = 0;
  std::array<int, 256> answers_{};  // answer packets per host command, for drop faults

  // Staged user-slot transfers: kept aside until the last stage arrives, so an
  // interrupted transfer leaves the slot as it was.
  struct Transfer {
    int slot = -1;
    int next_stage = 1;
    UserSlot data;
  };
  Transfer ir_transfer_;
  Transfer amp_transfer_;
  Transfer restore_slot_;

  // Update loader.
  LoaderImage loader_image_;
  bool has_loader_image_ = false;
  LoaderState loader_state_ = LoaderState::kAsleep;
  size_t loader_segment_ = 0;  // the segment whose block comes next
  size_t loader_block_ = 0;    // its index within that segment
  int blocks_received_ = 0;
  std::vector<std::vector<uint8_t>> received_;
};

// Applies one control line ("knob 3 1 80", "preset 5", "system 2 1") to `device`.
// "unplug", "plug", "quit" and "reboot" belong to the server and are refused here.
bool ApplyDeviceControl(DeviceEmulator& device, const std::string& line, std::string* error);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_EMULATOR_H_
