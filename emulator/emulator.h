#ifndef RQ700_EMULATOR_EMULATOR_H_
#define RQ700_EMULATOR_EMULATOR_H_

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "emulator/device_state.h"
#include "emulator/options.h"
#include "emulator/packet_log.h"
#include "link/hid_port.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700::emu {

using Report = std::array<uint8_t, kReportSize>;

// The device side of the virtual RQ700, free of any transport: host reports go in, device
// reports come out. Normal mode answers the editor's and launcher's commands and plays
// the device's own knobs; update mode is the loader that takes a firmware image. One
// thread at a time uses an object.
class DeviceEmulator : private PacketSink {
 public:
  explicit DeviceEmulator(const Options& options);

  // A new host took the device: nothing of the previous connection's stream is kept.
  void Connect();

  // One report from the host (65 bytes: report ID, count, payload).
  void OnHostReport(const uint8_t* report);

  // The next report for the host; false when none is waiting.
  bool PopReport(uint8_t* report);
  size_t pending_reports() const { return outbox_.size(); }

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

  // Update loader progress, for the host's tests and the console.
  int blocks_received() const { return blocks_received_; }

 private:
  void OnPacket(const uint8_t* packet, size_t size) override;
  void HandleNormal(uint8_t command, const uint8_t* payload, size_t size);
  void HandleUpdate(uint8_t command, const uint8_t* payload, size_t size);

  // Sends a packet the device originates.
  void Emit(uint8_t command, const uint8_t* payload, size_t size);
  // Sends an answer to host command `request`, unless a drop fault takes it.
  void Answer(uint8_t request, uint8_t command, const uint8_t* payload, size_t size);

  void SendDump();
  void SendModule(int module);
  void SendIdentityReply();
  void OnModule(int module, const uint8_t* payload, size_t size);
  void OnChain(const uint8_t* payload, size_t size);
  void OnIrTransfer(const uint8_t* payload, size_t size);
  void OnAmpTransfer(const uint8_t* payload, size_t size);
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
  std::deque<Report> outbox_;
  std::vector<uint8_t> tx_;

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
  bool loader_started_ = false;
  bool identified_ = false;
  bool apply_accepted_ = false;
  int blocks_received_ = 0;
  std::vector<uint8_t> firmware_;
};

// Applies one control line ("knob 3 1 80", "preset 5", "system 2 1") to `device`.
// "unplug", "plug", "quit" and "reboot" belong to the server and are refused here.
bool ApplyDeviceControl(DeviceEmulator& device, const std::string& line, std::string* error);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_EMULATOR_H_
