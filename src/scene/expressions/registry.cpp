#include "scene/expressions/registry.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <random>

#include "foundation/case_fold.h"
#include "scene/expressions/spline_functions.h"

namespace vyr {

namespace {

constexpr double kIntegerLimit =
    9223372036854775807.0;  // the Int64 range of the rounding functions

double IntegerOrFail(double rounded) { return std::fabs(rounded) < kIntegerLimit ? rounded : NAN; }

double RandomFraction() {
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> draw(0, 2147483646);
  return draw(generator) / 2147483646.0;
}

}  // namespace

// Sixteen chains keyed by the name hash. Lookups and registrations take the mutex;
// a new function is linked at its bucket's head.
class TMathRegistry {
 public:
  static TMathRegistry& Instance() {
    static TMathRegistry registry;
    return registry;
  }

  TRef<TMathFunc> Find(std::string_view name) {
    if (name.empty()) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    FillOnce();
    for (TMathFunc* f = buckets_[NameHash(name) & 15].load(); f; f = f->next_) {
      if (SameName(f->Name(), name)) return TRef<TMathFunc>::Share(f);
    }
    return nullptr;
  }

  void Register(TRef<TMathFunc> func) {
    std::lock_guard<std::mutex> lock(mutex_);
    FillOnce();
    Link(std::move(func));
  }

  ~TMathRegistry() {
    for (auto& bucket : buckets_) {
      for (TMathFunc* f = bucket.exchange(nullptr); f;) {
        TMathFunc* next = f->next_;
        f->Release();
        f = next;
      }
    }
  }

 private:
  void Link(TRef<TMathFunc> func) {
    TMathFunc* f = func.Detach();
    auto& head = buckets_[NameHash(f->Name()) & 15];
    f->next_ = head.load();
    while (!head.compare_exchange_weak(f->next_, f)) {
    }
  }

  void Add(TMathFunc* f) { Link(TRef<TMathFunc>::Adopt(f)); }

  void FillOnce() {
    if (filled_) return;
    filled_ = true;
    Add(new TMathConst("Pi", 3.141592653589793));
    Add(new TMathWrapper1("Sin", [](double x) { return std::sin(x); }));
    Add(new TMathWrapper1("Cos", [](double x) { return std::cos(x); }));
    Add(new TMathWrapper1("Tan", [](double x) { return std::tan(x); }));
    Add(new TMathWrapper1Ext("Cotan", [](double x) { return 1 / std::tan(x); }));
    Add(new TMathWrapper1Ext("ArcSin", [](double x) { return std::asin(x); }));
    Add(new TMathWrapper1Ext("ArcCos", [](double x) { return std::acos(x); }));
    Add(new TMathWrapper1Ext("ArcTan", [](double x) { return std::atan(x); }));
    Add(new TMathWrapper2Ext("ArcTan2", [](double y, double x) { return std::atan2(y, x); }));
    Add(new TMathWrapper2Ext("Hypot", [](double a, double b) { return std::hypot(a, b); }));
    Add(new TMathWrapper1("Sqrt", [](double x) { return std::sqrt(x); }));
    Add(new TPowerOptFunc("Power"));
    Add(new TPowerOptFunc("Pow"));
    Add(new TMathWrapper1("Sqr", [](double x) { return x * x; }));
    Add(new TMathWrapper1("Abs", [](double x) { return std::fabs(x); }));
    Add(new TMathWrapper1("Frac", [](double x) { return x - std::trunc(x); }));
    // nearbyint rounds halves to even in the default rounding mode.
    Add(new TMathWrapper1("Round", [](double x) { return IntegerOrFail(std::nearbyint(x)); }));
    Add(new TMathWrapper1("Trunc", [](double x) { return IntegerOrFail(std::trunc(x)); }));
    Add(new TMathWrapper1("Ceil", [](double x) { return IntegerOrFail(std::ceil(x)); }));
    Add(new TMathWrapper3("Lerp", [](double a, double b, double t) { return a + (b - a) * t; }));
    Add(new TMathWrapper0("Rnd", RandomFraction, false));
    Add(new TQSplineGraph());
  }

  std::mutex mutex_;
  bool filled_ = false;
  std::atomic<TMathFunc*> buckets_[16] = {};
};

TRef<TMathFunc> FindMathFunc(std::string_view name) { return TMathRegistry::Instance().Find(name); }

void RegisterMathFunc(TRef<TMathFunc> func) {
  if (func) TMathRegistry::Instance().Register(std::move(func));
}

}  // namespace vyr
