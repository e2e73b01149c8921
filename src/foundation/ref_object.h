#pragma once
// Intrusive reference counting: the base of nearly every long-lived object.

#include <atomic>
#include <cstdint>
#include <utility>

namespace vyr {

class TRefObject {
 public:
  TRefObject() = default;
  TRefObject(const TRefObject&) = delete;
  TRefObject& operator=(const TRefObject&) = delete;

  void AddRef() const noexcept { refCount_.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; the last one calls Dispose and frees the object.
  void Release() const;
  int32_t RefCount() const noexcept { return refCount_.load(std::memory_order_acquire); }

 protected:
  virtual ~TRefObject() = default;
  // Called once, just before the object is freed: release what the object holds.
  virtual void Dispose() {}

 private:
  mutable std::atomic<int32_t> refCount_{1};
};

// Owning pointer to a TRefObject descendant. Adopt takes over the reference a
// fresh object is born with; Share adds a reference of its own.
template <class T>
class TRef {
 public:
  TRef() noexcept = default;
  TRef(std::nullptr_t) noexcept {}
  TRef(const TRef& other) noexcept : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  TRef(TRef&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  template <class U>
  TRef(const TRef<U>& other) noexcept : ptr_(other.Get()) {
    if (ptr_) ptr_->AddRef();
  }
  template <class U>
  TRef(TRef<U>&& other) noexcept : ptr_(other.Detach()) {}
  ~TRef() { Reset(); }

  TRef& operator=(TRef other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  static TRef Adopt(T* p) noexcept {
    TRef r;
    r.ptr_ = p;
    return r;
  }
  static TRef Share(T* p) noexcept {
    if (p) p->AddRef();
    return Adopt(p);
  }

  void Reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }
  T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
  T* Get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  T& operator*() const noexcept { return *ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  bool operator==(const TRef& other) const noexcept { return ptr_ == other.ptr_; }
  bool operator==(std::nullptr_t) const noexcept { return ptr_ == nullptr; }

 private:
  T* ptr_ = nullptr;
};

// Creates a reference-counted object and adopts its first reference.
template <class T, class... Args>
TRef<T> MakeRef(Args&&... args) {
  return TRef<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace vyr
