#ifndef RQ700_PROTOCOL_CHANGE_SIGNAL_H_
#define RQ700_PROTOCOL_CHANGE_SIGNAL_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rq700 {

// Counts the changes made to the device state, so that the sequencer can sleep while
// nothing is due and wake the moment something is, and the window can tell whether its
// last frame still shows the state. Notify is cheap when nobody sleeps: one atomic add and
// one load.
class ChangeSignal {
 public:
  // Any thread: one more change; wakes the thread sleeping in WaitPast, if any.
  void Notify() {
    count_.fetch_add(1);
    // Paired with the sleeper's count of sleepers and its check of the count (both
    // sequentially consistent): either it sees this change or this sees it sleeping.
    if (sleepers_.load() != 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      moved_.notify_all();
    }
  }

  uint64_t Count() const { return count_.load(std::memory_order_acquire); }

  // Sleeps until the count differs from `seen` or `limit` has passed; true when it moved.
  bool WaitPast(uint64_t seen, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    sleepers_.fetch_add(1);
    const bool moved = moved_.wait_for(lock, limit, [&] { return count_.load() != seen; });
    sleepers_.fetch_sub(1);
    return moved;
  }

 private:
  std::atomic<uint64_t> count_{0};
  std::atomic<int> sleepers_{0};
  std::mutex mutex_;
  std::condition_variable moved_;
};

// An atomic flag or counter of the device state whose every change notifies the state's
// change signal: what the UI, the reader and the jobs raise for the sequencer to act on,
// and what the window shows. Reads and writes are those of std::atomic; a write that
// leaves the value as it was notifies nobody.
template <typename T>
class Watched : public std::atomic<T> {
  using Base = std::atomic<T>;

 public:
  using Base::Base;
  Watched& operator=(const Watched&) = delete;

  void Watch(ChangeSignal* signal) { signal_ = signal; }

  T operator=(T value) noexcept {
    store(value);
    return value;
  }
  void store(T value, std::memory_order order = std::memory_order_seq_cst) noexcept {
    exchange(value, order);
  }
  T exchange(T value, std::memory_order order = std::memory_order_seq_cst) noexcept {
    const T old = Base::exchange(value, order);
    if (old != value) Changed();
    return old;
  }
  bool compare_exchange_strong(T& expected, T desired,
                               std::memory_order order = std::memory_order_seq_cst) noexcept {
    const bool swapped = Base::compare_exchange_strong(expected, desired, order);
    if (swapped && expected != desired) Changed();
    return swapped;
  }
  T fetch_add(T step, std::memory_order order = std::memory_order_seq_cst) noexcept {
    const T old = Base::fetch_add(step, order);
    if (step != 0) Changed();
    return old;
  }
  T fetch_sub(T step, std::memory_order order = std::memory_order_seq_cst) noexcept {
    const T old = Base::fetch_sub(step, order);
    if (step != 0) Changed();
    return old;
  }
  T operator++() noexcept { return static_cast<T>(fetch_add(1) + 1); }
  T operator++(int) noexcept { return fetch_add(1); }
  T operator--() noexcept { return static_cast<T>(fetch_sub(1) - 1); }
  T operator--(int) noexcept { return fetch_sub(1); }
  T operator+=(T step) noexcept { return static_cast<T>(fetch_add(step) + step); }
  T operator-=(T step) noexcept { return static_cast<T>(fetch_sub(step) - step); }

 private:
  void Changed() {
    if (signal_ != nullptr) signal_->Notify();
  }
  ChangeSignal* signal_ = nullptr;
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_CHANGE_SIGNAL_H_
