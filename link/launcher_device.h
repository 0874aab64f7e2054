#ifndef RQ700_LINK_LAUNCHER_DEVICE_H_
#define RQ700_LINK_LAUNCHER_DEVICE_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "link/hid_port.h"

namespace rq700 {

// USB identity of the RQ700 and the model and firmware the editor works with.
inline constexpr uint16_t kRq700VendorId = 0x0483;
inline constexpr uint16_t kRq700UpdateProductId = 0x5750;
inline constexpr uint16_t kRq700NormalProductId = 0x5703;
inline constexpr uint16_t kRq700ReleaseNumber = 0x00C8;
inline constexpr char kTargetModel[] = "ZORVA_RQ700";
inline constexpr char kRequiredVersion[] = "2.0.0";

// What detection learnt about the device it settled on. The texts are raw device bytes,
// zero-filled; the helpers read them as zero-terminated strings.
struct DeviceRecord {
  std::string device_path;
  uint16_t product_id = 0;
  uint16_t release_number = 0;
  std::array<uint8_t, 7> version_text = {};
  std::array<uint8_t, 32> model_text = {};

  std::string Version() const;
  std::string Model() const;
};

// The launcher's device: one reader thread and one writer thread share it. A read waits
// until a report comes, the device goes, or Close releases it; Close may be called from
// the writer thread while the reader waits.
class LauncherDevice {
 public:
  // How often a waiting read looks at the stop request.
  static constexpr int kReadSliceMs = 20;
  // A write that the device does not take within this time fails, so that a wedged
  // device cannot hang the update.
  static constexpr int kWriteTimeoutMs = 2000;

  // Opens paths with the transport MakeHidPort picks.
  LauncherDevice() = default;
  // Uses `port` for every Open (tests).
  explicit LauncherDevice(std::unique_ptr<HidPort> port);
  ~LauncherDevice();
  LauncherDevice(const LauncherDevice&) = delete;
  LauncherDevice& operator=(const LauncherDevice&) = delete;

  bool Open(const std::string& path);
  // Releases a pending read, waits for it to leave, closes the device. Always true.
  bool Close();
  // Waits for one report and copies its payload (count = its valid bytes). False when
  // the device is closed, gone, or Close was called.
  bool ReadReport(uint8_t* out, int* count);
  // Sends `length` bytes as full reports of 63 and a last shorter one; stops at the first
  // report that fails.
  bool Send(const uint8_t* data, int32_t length);

  bool is_open() const;

  // 1 while the updater may use the device; the update reader runs while it is 1.
  int link_active() const { return link_active_.load(std::memory_order_acquire); }
  void set_link_active(int value) { link_active_.store(value, std::memory_order_release); }

 private:
  std::unique_ptr<HidPort> port_;
  bool fixed_port_ = false;
  std::atomic<int> link_active_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> open_{false};
  // Held by a read for its whole wait and by a write for one report; Close takes both.
  std::mutex read_mutex_;
  std::mutex write_mutex_;
  uint8_t send_report_[kReportSize] = {};
  uint8_t read_report_[kReportSize] = {};
};

}  // namespace rq700

#endif  // RQ700_LINK_LAUNCHER_DEVICE_H_
