#include "link/editor_threads.h"

#include <chrono>

#include "link/rx_ring.h"

namespace rq700 {

EditorThreads::EditorThreads(CHidDevice& device, SequencerStep& sequencer, PacketSink& sink,
                             std::function<void()> device_gone)
    : device_(device), sequencer_(sequencer), sink_(sink), shared_(std::make_shared<Shared>()) {
  shared_->device_gone = std::move(device_gone);
}

EditorThreads::~EditorThreads() { Shutdown(); }

bool EditorThreads::Start(const std::string& path) {
  if (sequencer_thread_.joinable() || reader_thread_.joinable()) return false;
  if (!device_.Open(path)) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  uint8_t report[kStartupReportSize] = {0x00, 0x01, 0x02, 0x03, 0x04};
  device_.Send(report, kStartupReportSize);
  // Fresh flags for this run: a reader left over from an earlier disconnection keeps its own.
  auto fresh = std::make_shared<Shared>();
  fresh->device_gone = shared_->device_gone;
  shared_ = std::move(fresh);
  shared_->sequencer_running = true;
  shared_->reader_running = true;
  sequencer_thread_ = std::thread(SequencerLoop, shared_, &sequencer_);
  reader_thread_ = std::thread(ReaderLoop, shared_, &device_, &sink_, &sequencer_);
  return true;
}

void EditorThreads::SequencerLoop(std::shared_ptr<Shared> shared, SequencerStep* step) {
  while (shared->run.load(std::memory_order_relaxed) != 0) step->Step();
  shared->sequencer_running = false;
}

void EditorThreads::ReaderLoop(std::shared_ptr<Shared> shared, CHidDevice* device, PacketSink* sink,
                               SequencerStep* step) {
  // The ring and the parser belong to this thread alone.
  auto ring = std::make_unique<RxRing>();
  auto parser = std::make_unique<PacketParser>();
  auto buffer = std::make_unique<uint8_t[]>(RxRing::kCapacity);
  while (shared->run.load(std::memory_order_relaxed) != 0) {
    const int count = device->Read(buffer.get(), static_cast<int>(RxRing::kCapacity));
    if (count < 0) {
      int32_t running = 1;
      // Only the first to clear the run flag reports: a shutdown already under way
      // needs no message.
      if (shared->run.compare_exchange_strong(running, 0)) {
        step->Wake();
        shared->disconnected = true;
        shared->reader_running = false;
        shared->device_gone();
        return;
      }
      break;
    }
    if (count > 0) {
      ring->Push(buffer.get(), static_cast<size_t>(count));  // dropped when the ring is full
      parser->Run(*ring, *sink);
    } else {
      sink->OnQuiet();
    }
  }
  shared->reader_running = false;
}

void EditorThreads::Shutdown() {
  // Whoever clears the run flag first decides: if the reader did, it is reporting the
  // disconnection and may wait for the window, which may be this very thread.
  const bool reader_ended_it = shared_->run.exchange(0) == 0;
  sequencer_.Wake();
  if (sequencer_thread_.joinable()) sequencer_thread_.join();
  if (reader_thread_.joinable()) {
    if (reader_ended_it) {
      reader_thread_.detach();
    } else {
      reader_thread_.join();
    }
  }
}

bool EditorThreads::running() const {
  return shared_->sequencer_running.load() || shared_->reader_running.load();
}

bool EditorThreads::disconnected() const { return shared_->disconnected.load(); }

int32_t EditorThreads::run_flag() const { return shared_->run.load(); }

}  // namespace rq700
