// The stop callback of a library run, turned into the interrupt flag the
// driver reads.  The driver looks at a flag at its stop checks, many times a
// second and from every thread of a parallel set; a caller's callback may be
// slow (a foreign interpreter's lock) and need not be safe on those threads.
// So one thread of its own asks it at a fixed pace and raises the flag.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace vorn {

class StopPoller {
 public:
  /// \brief Starts asking `stop` every few milliseconds; with no callback nothing runs.
  explicit StopPoller(std::function<bool()> stop);
  /// \brief Stops asking (see finish).
  ~StopPoller();
  StopPoller(const StopPoller&) = delete;
  StopPoller& operator=(const StopPoller&) = delete;

  /// \brief The flag raised once the callback answered true (or threw).
  const std::atomic<bool>* flag() const { return &raised_; }
  /// \brief Stops asking; rethrows what the callback threw, if it threw.
  void finish();

 private:
  void poll();

  std::function<bool()> stop_;
  std::atomic<bool> raised_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace vorn
