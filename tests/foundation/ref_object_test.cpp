#include "foundation/ref_object.h"

#include <gtest/gtest.h>

#include "foundation/exceptions.h"

namespace vyr {
namespace {

class Probe : public TRefObject {
 public:
  explicit Probe(int* disposed) : disposed_(disposed) {}

 protected:
  void Dispose() override { ++*disposed_; }

 private:
  int* disposed_;
};

TEST(RefObject, LastReleaseDisposesOnce) {
  int disposed = 0;
  {
    TRef<Probe> a = MakeRef<Probe>(&disposed);
    TRef<Probe> b = a;
    EXPECT_EQ(a->RefCount(), 2);
    a.Reset();
    EXPECT_EQ(disposed, 0);
    EXPECT_EQ(b->RefCount(), 1);
  }
  EXPECT_EQ(disposed, 1);
}

TEST(Exceptions, DefaultMessageNamesTheClass) {
  EXPECT_STREQ(EStreamReadError().what(), "Tarvik Exception: \"EStreamReadError\"");
}

TEST(Exceptions, AssertionMessageFormat) {
  EXPECT_EQ(AssertionMessage("TIniItem.Index mismatch", "project/ini_list", 42),
            "Asseertion with message: 'TIniItem.Index mismatch' (project/ini_list, line: 42)");
  try {
    VYR_ASSERT(1 + 1 == 3);
    FAIL();
  } catch (const EAssertionFailed& e) {
    const std::string text = e.what();
    EXPECT_EQ(text.rfind("Asseertion with message: 'Assertion failure' (", 0), 0u) << text;
    EXPECT_NE(text.find("ref_object_test, line: "), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vyr
