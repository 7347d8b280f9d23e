// The animation clock of a tray icon. The thread never touches the icon: it
// only sleeps and calls `tick` (which posts a message to the icon's window);
// the icon advances its frame when that message arrives on the
// user-interface thread. At most one tick is outstanding, so a busy
// user-interface thread is not flooded with frames it would skip anyway.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tw {

class TTimerThread {
 public:
  TTimerThread(std::function<void()> tick, std::uint16_t intervalMs, bool suspended);
  // Terminates and waits for the thread, which wakes at once for it.
  ~TTimerThread();
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

  void Suspend();
  void Resume();
  [[nodiscard]] bool Suspended() const;
  // Used from the next pause on.
  void SetInterval(std::uint16_t ms);
  // The tick posted last has arrived; the next one may be posted.
  void TickDelivered();

 private:
  void Run();

  std::function<void()> tick_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::chrono::milliseconds interval_;
  bool suspended_;
  bool terminated_ = false;
  bool tickOutstanding_ = false;
  std::thread thread_;  // last: starts once everything above is set
};

}  // namespace tw
