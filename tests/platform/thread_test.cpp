#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vyr {
namespace {

using namespace std::chrono_literals;

class Counted : public TRefObject {
 public:
  explicit Counted(std::atomic<int>* alive) : alive_(alive) { ++*alive_; }

 protected:
  ~Counted() override { --*alive_; }

 private:
  std::atomic<int>* alive_;
};

// A worker that records the ids it handled; MainLoop drains the queue and naps.
class Recorder : public TVyrThread {
 public:
  std::vector<int32_t> handled;
  std::atomic<bool> blockInHandler{false};
  std::atomic<bool> hang{false};
  std::atomic<bool> looping{false};

 protected:
  void HandleEvent(TThreadEventList&, int32_t id, bool& done, TRefObject*) override {
    handled.push_back(id);
    while (blockInHandler) std::this_thread::sleep_for(1ms);
    done = true;
  }
  void MainLoop() override {
    looping = true;
    while (hang) std::this_thread::sleep_for(1ms);
    Events().Process();
    std::this_thread::sleep_for(1ms);
  }
};

TEST(WorkerThread, MessagesAreHandledInOrderAndSendWaits) {
  auto worker = MakeRef<Recorder>();
  ASSERT_TRUE(worker->Start());
  EXPECT_FALSE(worker->Start()) << "a running thread cannot start twice";
  worker->Events().Post(1);
  worker->Events().Post(2);
  worker->Events().Send(3);  // returns only after 1, 2 and 3 were handled
  EXPECT_EQ(worker->handled, (std::vector<int32_t>{1, 2, 3}));
  worker->Stop();
  EXPECT_FALSE(worker->IsRunning());
  EXPECT_FALSE(worker->Running());
}

TEST(WorkerThread, PostAfterStopDropsThePayload) {
  std::atomic<int> alive{0};
  auto worker = MakeRef<Recorder>();
  ASSERT_TRUE(worker->Start());
  worker->Stop();
  worker->Events().Post(7, MakeRef<Counted>(&alive));
  EXPECT_EQ(alive.load(), 0);
  worker->Events().Send(8);  // a closed queue returns at once
  EXPECT_TRUE(worker->handled.empty());
}

TEST(WorkerThread, SenderIsReleasedWhenTheQueueCloses) {
  auto worker = MakeRef<Recorder>();
  worker->hang = true;  // the loop never drains the queue
  ASSERT_TRUE(worker->Start());
  std::atomic<bool> returned{false};
  std::thread sender([&] {
    worker->Events().Send(5);
    returned = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned.load());
  worker->Terminate();  // closes the queue: the sender goes on at once
  sender.join();
  EXPECT_TRUE(returned.load());
  worker->hang = false;
  EXPECT_TRUE(worker->WaitFor(2000));
}

TEST(WorkerThread, ShutdownGivesUpOnAHangingLoopWithoutFreeingIt) {
  auto worker = MakeRef<Recorder>();
  worker->hang = true;
  ASSERT_TRUE(worker->Start());
  while (!worker->looping) std::this_thread::sleep_for(1ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(worker->Shutdown(100));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  Recorder* raw = worker.Get();
  worker.Reset();     // the thread keeps its own reference
  raw->hang = false;  // still valid memory: the object lives until its thread ends
  std::this_thread::sleep_for(50ms);
}

TEST(WorkerThread, ManySendersAndPostersWhileStopping) {
  std::atomic<int> alive{0};
  for (int round = 0; round < 20; ++round) {
    auto worker = MakeRef<Recorder>();
    ASSERT_TRUE(worker->Start());
    std::vector<std::thread> clients;
    for (int c = 0; c < 4; ++c) {
      clients.emplace_back([&, c] {
        for (int i = 0; i < 50; ++i) {
          if ((i + c) % 3 == 0) {
            worker->Events().Send(i, MakeRef<Counted>(&alive));
          } else {
            worker->Events().Post(i, MakeRef<Counted>(&alive));
          }
        }
      });
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200 * round));
    worker->Stop();
    for (auto& t : clients) t.join();
  }
  EXPECT_EQ(alive.load(), 0) << "every payload is freed, handled or dropped";
}

}  // namespace
}  // namespace vyr
