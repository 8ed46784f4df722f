#include "api/stop_poller.h"

#include <chrono>
#include <utility>

namespace vorn {

namespace {

/// Often enough that a stop feels immediate, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kPollInterval{5};

}  // namespace

StopPoller::StopPoller(std::function<bool()> stop) : stop_(std::move(stop)) {
  if (stop_) thread_ = std::thread(&StopPoller::poll, this);
}

StopPoller::~StopPoller() {
  try {
    finish();
  } catch (...) {
    // Rethrown only by an explicit finish; a run that ends by an exception of its own keeps that one.
  }
}

void StopPoller::poll() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!done_) {
    lock.unlock();
    bool stop = true;
    std::exception_ptr error;
    try {
      stop = stop_();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error) error_ = error;
    if (stop) {
      raised_.store(true, std::memory_order_relaxed);
      return;
    }
    wake_.wait_for(lock, kPollInterval, [this] { return done_; });
  }
}

void StopPoller::finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

}  // namespace vorn
