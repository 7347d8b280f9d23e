#include "app/trayicon/timer_thread.h"

namespace tw {

TTimerThread::TTimerThread(std::function<void()> tick, std::uint16_t intervalMs, bool suspended)
    : tick_(std::move(tick)), interval_(intervalMs), suspended_(suspended), thread_([this] { Run(); }) {}

TTimerThread::~TTimerThread() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TTimerThread::Suspend() {
  {
    std::lock_guard lock(mutex_);
    suspended_ = true;
  }
  wake_.notify_all();
}

void TTimerThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    suspended_ = false;
  }
  wake_.notify_all();
}

bool TTimerThread::Suspended() const {
  std::lock_guard lock(mutex_);
  return suspended_;
}

void TTimerThread::SetInterval(std::uint16_t ms) {
  std::lock_guard lock(mutex_);
  interval_ = std::chrono::milliseconds(ms);
}

void TTimerThread::TickDelivered() {
  std::lock_guard lock(mutex_);
  tickOutstanding_ = false;
}

void TTimerThread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return terminated_ || !suspended_; });
    if (terminated_) return;
    // A pause that a suspension or the end cuts short posts nothing.
    if (wake_.wait_for(lock, interval_, [this] { return terminated_ || suspended_; })) continue;
    if (!tickOutstanding_) {
      tickOutstanding_ = true;
      // Posted under the lock: once Suspend returns, no further tick is queued.
      tick_();
    }
  }
}

}  // namespace tw
