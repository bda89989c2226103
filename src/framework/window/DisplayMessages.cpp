// The display's message queue, direct sends, and the timers of its virtual clock.
#include <algorithm>

#include "framework/window/Display.h"

namespace kestrix {

namespace {

// A handler that keeps sending to itself would otherwise exhaust the stack.
constexpr int kMaxSendDepth = 256;
thread_local int sendDepth = 0;

// Bounds on loops driven by handlers: a handler that posts a message for every message it
// handles, or a 1 ms timer advanced by years.
constexpr int kMaxPumpedMessages = 100000;
constexpr int kMaxTimerFires = 1000000;

bool Matches(const MSG& m, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (hwnd && m.hwnd != hwnd) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return m.message >= filterMin && m.message <= filterMax;
}

}  // namespace

void Display::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd)) return;
  queue_.push_back(MSG{hwnd, message, wParam, lParam, nowMs_});
}

LRESULT Display::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const Window* w = Find(hwnd);
  if (!w || !w->owner || sendDepth >= kMaxSendDepth) return 0;
  ++sendDepth;
  // The handler may destroy the window: w is not touched after this.
  LRESULT result = w->owner->WindowProc(message, wParam, lParam);
  --sendDepth;
  return result;
}

bool Display::Peek(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return false;
  auto it = std::find_if(queue_.begin(), queue_.end(), [&](const MSG& m) {
    return Matches(m, hwnd, filterMin, filterMax);
  });
  if (it == queue_.end()) return false;
  *msg = *it;
  if (removeFlags & PM_REMOVE) queue_.erase(it);
  return true;
}

int Display::PumpMessages() {
  int count = 0;
  // A modal loop that waits takes its messages itself.
  if (waiting_ > 0) return 0;
  while (!queue_.empty() && count < kMaxPumpedMessages) {
    MSG m = queue_.front();
    queue_.pop_front();
    Send(m.hwnd, m.message, m.wParam, m.lParam);
    ++count;
  }
  return count;
}

void Display::SetTimer(HWND hwnd, UINT_PTR id, uint32_t intervalMs) {
  if (!IsWindow(hwnd)) return;
  // A zero interval would fire forever at one instant.
  uint32_t interval = std::max<uint32_t>(intervalMs, 1);
  for (TimerRecord& t : timers_)
    if (t.hwnd == hwnd && t.id == id) {
      t.intervalMs = interval;
      t.dueMs = nowMs_ + interval;
      return;
    }
  timers_.push_back(TimerRecord{hwnd, id, interval, nowMs_ + interval});
}

bool Display::KillTimer(HWND hwnd, UINT_PTR id) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const TimerRecord& t) {
    return t.hwnd == hwnd && t.id == id;
  });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  // A tick already queued for the timer is withdrawn too.
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                              [&](const MSG& m) {
                                return m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id;
                              }),
               queue_.end());
  return true;
}

bool Display::HasTimer(HWND hwnd, UINT_PTR id) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const TimerRecord& t) { return t.hwnd == hwnd && t.id == id; });
}

std::optional<uint64_t> Display::NextTimerDueMs() const {
  auto timer = std::min_element(timers_.begin(), timers_.end(),
                                [](const TimerRecord& a, const TimerRecord& b) { return a.dueMs < b.dueMs; });
  if (timer == timers_.end()) return std::nullopt;
  return timer->dueMs;
}

void Display::AdvanceClock(uint64_t ms) { PassTimeTo(nowMs_ + ms, true); }

void Display::PassTimeTo(uint64_t target, bool handle) {
  // One event at a time, earliest first, each handled before the next: a handler that kills or
  // resets a timer affects the fires after it. Input scheduled for the same moment as a tick
  // comes first.
  for (int fires = 0; fires < kMaxTimerFires; ++fires) {
    auto timer = std::min_element(timers_.begin(), timers_.end(),
                                  [](const TimerRecord& a, const TimerRecord& b) {
                                    return a.dueMs < b.dueMs;
                                  });
    auto input = std::min_element(scheduled_.begin(), scheduled_.end(),
                                  [](const ScheduledInput& a, const ScheduledInput& b) {
                                    return a.dueMs < b.dueMs || (a.dueMs == b.dueMs && a.order < b.order);
                                  });
    bool timerDue = timer != timers_.end() && timer->dueMs <= target;
    bool inputDue = input != scheduled_.end() && input->dueMs <= target;
    if (!timerDue && !inputDue) break;
    if (inputDue && (!timerDue || input->dueMs <= timer->dueMs)) {
      nowMs_ = std::max(nowMs_, input->dueMs);
      std::function<void()> give = std::move(input->input);
      scheduled_.erase(input);
      give();
    } else {
      nowMs_ = std::max(nowMs_, timer->dueMs);
      timer->dueMs += timer->intervalMs;
      HWND hwnd = timer->hwnd;
      UINT_PTR id = timer->id;
      // A tick still waiting in the queue is not doubled, as a real display merges them.
      bool queued = std::any_of(queue_.begin(), queue_.end(), [&](const MSG& m) {
        return m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id;
      });
      if (!queued) Post(hwnd, WM_TIMER, id, 0);
    }
    if (handle) PumpMessages();
  }
  nowMs_ = std::max(nowMs_, target);
  if (handle) PumpMessages();
}

void Display::ScheduleInput(uint64_t delayMs, std::function<void()> input) {
  if (input) scheduled_.push_back(ScheduledInput{nowMs_ + delayMs, scheduleOrder_++, std::move(input)});
}

int Display::WaitForMessage(HWND hwnd, UINT filterMin, UINT filterMax, uint32_t timeoutMs) {
  const uint64_t deadline = nowMs_ + timeoutMs;
  ++waiting_;
  int result = 0;
  for (;;) {
    MSG m;
    if (Peek(&m, hwnd, filterMin, filterMax, PM_NOREMOVE)) {
      result = 1;
      break;
    }
    if (scheduled_.empty() && idle_) {
      const uint64_t left = deadline > nowMs_ ? deadline - nowMs_ : 0;
      int64_t pass = idle_(static_cast<uint32_t>(std::min<uint64_t>(left, UINT32_MAX)));
      if (pass < 0) {
        result = -1;
        break;
      }
      PassTimeTo(std::min<uint64_t>(nowMs_ + static_cast<uint64_t>(pass), deadline), false);
      if (nowMs_ >= deadline && !Peek(&m, hwnd, filterMin, filterMax, PM_NOREMOVE)) {
        result = 0;
        break;
      }
      continue;
    }
    // Nothing queued and nothing to come: a person who never moves again.
    if (scheduled_.empty()) {
      result = -1;
      break;
    }
    uint64_t next = std::min_element(scheduled_.begin(), scheduled_.end(),
                                     [](const ScheduledInput& a, const ScheduledInput& b) {
                                       return a.dueMs < b.dueMs;
                                     })->dueMs;
    if (next > deadline) {
      PassTimeTo(deadline, false);
      result = Peek(&m, hwnd, filterMin, filterMax, PM_NOREMOVE) ? 1 : 0;
      break;
    }
    PassTimeTo(next, false);
  }
  --waiting_;
  return result;
}

}  // namespace kestrix
