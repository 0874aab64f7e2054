#ifndef RQ700_UPDATER_UPDATE_SESSION_H_
#define RQ700_UPDATER_UPDATE_SESSION_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "link/launcher_device.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700 {

// Status codes the update worker posts to the updater window, and the window's own.
enum UpdateStatus : int {
  kStatusBlockFailed = 1,
  kStatusBlockFailed1 = 2,
  kStatusBlockFailed2 = 3,
  kStatusSerialNumber = 4,
  kStatusApplyRefused = 5,
  kStatusOpenFirmware = 6,
  kStatusOpenDevice = 7,
  kStatusSendFailed = 8,
  kStatusTimeout = 9,
  kStatusSuccess = 10,
  kStatusProgress = 11,
};

// Where the worker reports: the window's queue in the program, a recorder in tests.
// Called on the worker thread; the window applies the posts in order on its own thread.
class UpdateStatusSink {
 public:
  virtual ~UpdateStatusSink() = default;
  virtual void PostStatus(int code, int value) = 0;
};

// Everything the update worker and the update reader share for one update. The flags
// have one writer each: the reader's reply handler sets the answer flags, the worker
// clears them before it asks and polls them afterwards.
struct UpdateSession {
  UpdateSession(LauncherDevice& device_in, DeviceRecord& record_in, UpdateStatusSink& sink_in)
      : device(device_in), record(record_in), sink(sink_in) {}

  LauncherDevice& device;
  // Read by the worker to find the image; the identity reply rewrites its texts.
  DeviceRecord& record;
  std::mutex record_mutex;
  UpdateStatusSink& sink;

  // Folder of the firmware images that come with the program, relative to the current
  // directory unless the launcher gives its own folder.
  std::string firmware_folder = "./Firmware/";
  // The user's own images (the program's folder may be read-only); empty for none. The
  // newest version across both folders is sent.
  std::string user_firmware_folder;
  // The delay primitive: every wait of the update counts calls of it with 1 ms.
  std::function<void(int ms)> delay;

  std::atomic<uint32_t> identity_received{0};
  std::atomic<uint32_t> apply_answered{0};
  std::atomic<uint8_t> accepted{0};
  // Reply codes the handler listens for; -1 until the worker has read the image.
  std::atomic<int> apply_reply{-1};
  std::atomic<int> current_segment_reply{-1};
  // The current block of the segment being sent was acknowledged.
  std::atomic<uint32_t> acknowledged{0};
  // Blocks handed to the device so far, across all segments.
  std::atomic<uint32_t> sent_blocks{0};

  // The reader thread's own.
  RxRing ring;
  PacketParser parser;
};

}  // namespace rq700

#endif  // RQ700_UPDATER_UPDATE_SESSION_H_
