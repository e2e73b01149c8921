#pragma once
// Worker threads and their inbound message queues. Other threads talk to a worker only
// by posting or sending messages; the worker drains its queue once per loop step.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "foundation/exceptions.h"
#include "foundation/ref_object.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EMutexTakeOwnershipError, TCommonException);

// An operating-system thread around the virtual Execute. While it runs the thread
// holds a reference to its object, so an object is never freed under its own thread.
// A thread cannot be killed safely here: a thread that does not stop in time is
// logged and left to finish on its own.
class TThread : public TRefObject {
 public:
  // False when the thread is still running.
  virtual bool Start();
  bool IsRunning() const;
  bool IsTerminated() const { return terminated_.load(std::memory_order_acquire); }
  // Waits until the thread has started and then ended; timeoutMs < 0 waits without limit.
  bool WaitFor(int timeoutMs);
  virtual void Terminate() { terminated_.store(true, std::memory_order_release); }
  // Terminate, wait up to timeoutMs, and give up on a thread that does not end:
  // it is logged and left detached. True when the thread ended.
  bool Shutdown(int timeoutMs = 3000);
  // Thread priority as a nice value (-20..19); refused changes are silently skipped.
  void SetPriority(int nice);
  int Priority() const { return priority_.load(); }

 protected:
  virtual void Execute() = 0;

 private:
  void Entry();

  struct RunState {
    std::mutex lock;
    std::condition_variable changed;
    bool started = false;
    bool running = false;
    int64_t tid = 0;
  };
  std::shared_ptr<RunState> CurrentState() const;
  static bool IsRunning(const std::shared_ptr<RunState>& state);

  std::shared_ptr<RunState> state_;
  mutable std::mutex startLock_;
  std::atomic<bool> terminated_{false};
  std::atomic<int> priority_{0};
};

// One message: an id and an optional reference-counted payload.
struct TMessageItem {
  int32_t id = 0;
  TRef<TRefObject> payload;
  // Present for a sent message: the sender waits on it.
  struct Waiter {
    std::mutex lock;
    std::condition_variable done;
    bool signalled = false;
    void Signal();
  };
  std::shared_ptr<Waiter> waiter;
};

class TThreadEventList {
 public:
  // (queue, id, handled out, payload). Exceptions from the handler are swallowed.
  using THandler = std::function<void(TThreadEventList&, int32_t, bool&, TRefObject*)>;

  TThreadEventList() = default;
  ~TThreadEventList() { Close(); }
  TThreadEventList(const TThreadEventList&) = delete;
  TThreadEventList& operator=(const TThreadEventList&) = delete;

  void SetHandler(THandler handler) { handler_ = std::move(handler); }
  // Queues the message and returns at once; on a closed queue the payload is dropped.
  void Post(int32_t id, TRef<TRefObject> payload = nullptr);
  // Queues the message and waits until the owner has handled it or the queue closed.
  // The owner thread must not send to its own queue.
  void Send(int32_t id, TRef<TRefObject> payload = nullptr);
  // Hands every queued message to the handler, in arrival order, on the calling thread.
  void Process();
  // Releases every waiting sender and drops the queued messages; later posts are dropped.
  void Close();
  bool IsClosed() const;

 private:
  mutable std::mutex lock_;
  std::deque<TMessageItem> items_;
  bool closed_ = false;
  THandler handler_;
};

// A worker thread with a message queue and a loop of MainLoop steps.
class TVyrThread : public TThread {
 public:
  TVyrThread();
  TThreadEventList& Events() { return events_; }
  bool Running() const { return running_.load(); }

  bool Start() override;
  // Terminate, then wait without limit.
  virtual void Stop();
  // Closes the queue first so that no sender stays blocked.
  void Terminate() override;

 protected:
  virtual void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled, TRefObject* payload);
  virtual void ThreadStarted() {}
  virtual void ThreadFinished() { running_ = false; }
  // One step of the loop; subclasses begin by processing their queue.
  virtual void MainLoop() = 0;
  void Execute() override;

 private:
  TThreadEventList events_;
  std::atomic<bool> running_{false};
};

// The calling thread's own nice value, and a change of it; without privileges a thread can
// lower its priority but not raise it again past where it started, and such a change is
// skipped (false).
int CurrentThreadNice();
bool SetCurrentThreadNice(int nice);

}  // namespace vyr
