#ifndef RQ700_LINK_EDITOR_THREADS_H_
#define RQ700_LINK_EDITOR_THREADS_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "link/hid_device.h"
#include "link/packet_parser.h"

namespace rq700 {

// One pass of the sequencer thread's loop; the protocol layer implements it.
class SequencerStep {
 public:
  virtual ~SequencerStep() = default;
  virtual void Step() = 0;
  // Cuts short any wait inside Step: called once the run flag is cleared.
  virtual void Wake() {}
};

// The editor's two worker threads around one open device: the sequencer thread runs its
// steps while the run flag is set; the reader thread reads reports, pushes them into its
// receive ring and runs the packet parser, which hands every good packet to the sink on
// the reader thread. When the device goes away the reader clears the run flag, which ends
// both threads, and reports it exactly once.
class EditorThreads {
 public:
  // `device_gone` runs on the reader thread and may block until the window has handled
  // it. What it touches must stay alive until it returns, even past Shutdown.
  EditorThreads(CHidDevice& device, SequencerStep& sequencer, PacketSink& sink,
                std::function<void()> device_gone);
  ~EditorThreads();
  EditorThreads(const EditorThreads&) = delete;
  EditorThreads& operator=(const EditorThreads&) = delete;

  // Opens the device by `path`, waits 10 ms, sends the start-up report (00 01 02 03 04 and
  // 60 zero bytes, no packet framing), then starts the sequencer thread and the reader
  // thread. False, with no thread started, when the device does not open.
  bool Start(const std::string& path);

  // Clears the run flag and joins both threads. After a disconnection the reader may still
  // be inside `device_gone` (waiting for the window): it is then left to finish on its
  // own, touching nothing but the shared flags it keeps alive.
  void Shutdown();

  bool running() const;       // either thread still in its loop
  bool disconnected() const;  // the reader saw the device go away
  int32_t run_flag() const;

  static constexpr int kStartupReportSize = 65;

 private:
  struct Shared {
    std::atomic<int32_t> run{1};
    std::atomic<bool> sequencer_running{false};
    std::atomic<bool> reader_running{false};
    std::atomic<bool> disconnected{false};
    std::function<void()> device_gone;
  };
  static void SequencerLoop(std::shared_ptr<Shared> shared, SequencerStep* step);
  static void ReaderLoop(std::shared_ptr<Shared> shared, CHidDevice* device, PacketSink* sink,
                         SequencerStep* step);

  CHidDevice& device_;
  SequencerStep& sequencer_;
  PacketSink& sink_;
  std::shared_ptr<Shared> shared_;
  std::thread sequencer_thread_;
  std::thread reader_thread_;
};

}  // namespace rq700

#endif  // RQ700_LINK_EDITOR_THREADS_H_
