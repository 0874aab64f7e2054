#include "protocol/sequencer.h"

#include <chrono>
#include <thread>

namespace rq700 {

Sequencer::Sequencer(DeviceState& state, CHidDevice& device, WindowLink& window)
    : device_(device), context_{state, window} {
  tx_[0] = kStartMark1;
  tx_[1] = kStartMark2;
}

void Sequencer::Wake() { context_.state.changes.Notify(); }

void Sequencer::BeginTurn() {
  ChangeSignal& changes = context_.state.changes;
  if (!turn_sent_ && changes.Count() == turn_start_changes_) {
    changes.WaitPast(turn_start_changes_, idle_limit_);
  }
  // Read before any channel compares: a change made during the turn counts for the next.
  turn_start_changes_ = changes.Count();
  turn_sent_ = false;
}

void Sequencer::Step() {
  DeviceState& s = context_.state;
  if (s.sync_enabled.load() == 1) {
    const Channel* channel = FindChannel(state_);
    if (channel != nullptr) {
      if (state_ == kRingStart) BeginTurn();
      tx_[kPacketCommandOffset] = state_;
      PayloadWriter out{tx_ + kPacketPayloadOffset, kTxPacketCapacity - kPacketOverhead - 1};
      if (channel->run != nullptr) channel->run(context_, out);
      if (out.size > 0 || channel->sends_empty) {
        pending_ = out.size + 1;
        tx_[2] = static_cast<uint8_t>(pending_ & 0xFF);
        tx_[3] = static_cast<uint8_t>(pending_ >> 8);
        turn_sent_ = true;
      }
      state_ = channel->successor;
      if (state_ == kRingStart && turn_sent_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  } else {
    // A preset selection holds the edit model; let it finish rather than spin hard.
    std::this_thread::yield();
  }
  int32_t raised = 1;
  if (s.re_request.compare_exchange_strong(raised, 0)) state_ = kDumpRequest;
  if (pending_ != 0) {
    FrameAndSend(device_, tx_);
    pending_ = 0;
  }
}

}  // namespace rq700
