#include "audio/output/ds_event_thread.h"

namespace vyr {

TDSEventThread::TDSEventThread(TAudioClock& clock, std::function<void()> first,
                               std::function<void()> service, double periodMs)
    : waiter_(clock), first_(std::move(first)), service_(std::move(service)), periodMs_(periodMs) {}

void TDSEventThread::Resume() {
  if (thread_.joinable()) return;
  waiter_.Clock().Enter(waiter_);
  thread_ = std::thread([this] { Run(); });
}

void TDSEventThread::End() {
  if (!thread_.joinable()) return;
  waiter_.Raise(kEndBit);
  thread_.join();
}

void TDSEventThread::Run() {
  if (first_) first_();
  for (;;) {
    const unsigned bits = waiter_.Clock().Wait(waiter_, periodMs_);
    if (bits & kEndBit) break;
    if (service_) service_();
  }
  waiter_.Clock().Leave(waiter_);
}

}  // namespace vyr
