#include "platform/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "foundation/log.h"

namespace vyr {

namespace {
void LogThreadLine(const std::string& text) { GlobalLog().WriteLine(text); }
}  // namespace

bool TThread::Start() {
  std::lock_guard guard(startLock_);
  if (IsRunning(state_)) return false;
  auto state = std::make_shared<RunState>();
  state_ = state;
  terminated_.store(false, std::memory_order_release);
  AddRef();  // the thread's own reference, dropped as its last act
  try {
    std::thread([this] { Entry(); }).detach();
  } catch (const std::system_error&) {
    Release();
    return false;
  }
  return true;
}

void TThread::Entry() {
  const auto state = CurrentState();
  {
    std::lock_guard guard(state->lock);
    state->running = true;
    state->started = true;
    state->tid = static_cast<int64_t>(::syscall(SYS_gettid));
  }
  state->changed.notify_all();
  if (priority_.load() != 0) SetPriority(priority_.load());
  try {
    Execute();
  } catch (const std::exception& e) {
    char address[16];
    std::snprintf(address, sizeof address, "%08X",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
    LogThreadLine(std::string("Thread Exception at: ") + address + " (" + e.what() + ")");
  } catch (...) {
    LogThreadLine("Thread Exception at: unknown");
  }
  {
    std::lock_guard guard(state->lock);
    state->running = false;
  }
  state->changed.notify_all();
  Release();
}

std::shared_ptr<TThread::RunState> TThread::CurrentState() const {
  std::lock_guard guard(startLock_);
  return state_;
}

bool TThread::IsRunning() const { return IsRunning(CurrentState()); }

bool TThread::IsRunning(const std::shared_ptr<RunState>& state) {
  if (!state) return false;
  std::lock_guard guard(state->lock);
  return state->running || !state->started;
}

bool TThread::WaitFor(int timeoutMs) {
  const auto state = CurrentState();
  if (!state) return true;
  std::unique_lock guard(state->lock);
  const auto finished = [&] { return state->started && !state->running; };
  if (timeoutMs < 0) {
    state->changed.wait(guard, finished);
    return true;
  }
  return state->changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), finished);
}

bool TThread::Shutdown(int timeoutMs) {
  Terminate();
  if (WaitFor(timeoutMs)) return true;
  LogThreadLine("Thread " + ClassNameOf(*this) + " did not stop within " +
                std::to_string(timeoutMs) + " ms; left running");
  return false;
}

void TThread::SetPriority(int nice) {
  priority_.store(nice);
  const auto state = CurrentState();
  if (!state) return;
  int64_t tid = 0;
  {
    std::lock_guard guard(state->lock);
    if (!state->running) return;
    tid = state->tid;
  }
  // Per-thread nice value; raising priority needs privileges and is skipped without them.
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
}

void TMessageItem::Waiter::Signal() {
  {
    std::lock_guard guard(lock);
    signalled = true;
  }
  done.notify_all();
}

void TThreadEventList::Post(int32_t id, TRef<TRefObject> payload) {
  std::lock_guard guard(lock_);
  if (closed_) return;  // the payload is released on return
  items_.push_back(TMessageItem{id, std::move(payload), nullptr});
}

void TThreadEventList::Send(int32_t id, TRef<TRefObject> payload) {
  auto waiter = std::make_shared<TMessageItem::Waiter>();
  {
    std::lock_guard guard(lock_);
    if (closed_) return;
    items_.push_back(TMessageItem{id, std::move(payload), waiter});
  }
  std::unique_lock guard(waiter->lock);
  waiter->done.wait(guard, [&] { return waiter->signalled; });
}

void TThreadEventList::Process() {
  for (;;) {
    TMessageItem item;
    {
      std::lock_guard guard(lock_);
      if (items_.empty()) return;
      item = std::move(items_.front());
      items_.pop_front();
    }
    bool handled = false;
    if (handler_) {
      try {
        handler_(*this, item.id, handled, item.payload.Get());
      } catch (...) {
        // a failing handler must not take the owner's loop down
      }
    }
    if (item.waiter) item.waiter->Signal();
  }
}

void TThreadEventList::Close() {
  std::deque<TMessageItem> dropped;
  {
    std::lock_guard guard(lock_);
    closed_ = true;
    dropped.swap(items_);
  }
  for (auto& item : dropped) {
    if (item.waiter) item.waiter->Signal();
  }
}

bool TThreadEventList::IsClosed() const {
  std::lock_guard guard(lock_);
  return closed_;
}

TVyrThread::TVyrThread() {
  events_.SetHandler([this](TThreadEventList& queue, int32_t id, bool& handled,
                            TRefObject* payload) { HandleEvent(queue, id, handled, payload); });
}

void TVyrThread::HandleEvent(TThreadEventList&, int32_t, bool&, TRefObject*) {}

bool TVyrThread::Start() {
  const bool started = TThread::Start();
  if (started) running_ = true;
  return started;
}

void TVyrThread::Stop() {
  Terminate();
  WaitFor(-1);
}

void TVyrThread::Terminate() {
  events_.Close();
  TThread::Terminate();
}

void TVyrThread::Execute() {
  ThreadStarted();
  while (!IsTerminated()) MainLoop();
  try {
    ThreadFinished();
  } catch (...) {
  }
}

int CurrentThreadNice() {
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
  return errno == 0 ? nice : 0;
}

bool SetCurrentThreadNice(int nice) {
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), nice) == 0;
}

}  // namespace vyr
