#include "foundation/stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace vyr {
namespace {

TEST(MemoryStream, WriteSeekReadAndResize) {
  auto s = MakeRef<TMemoryStream>();
  s->WriteBuffer("hello world", 11);
  EXPECT_EQ(s->Size(), 11);
  s->Seek(6);
  char buf[8] = {};
  EXPECT_EQ(s->Read(buf, 8), 5);
  EXPECT_STREQ(buf, "world");
  s->SetSize(5);
  EXPECT_EQ(s->Position(), 5);
  s->Seek(0);
  EXPECT_THROW(s->ReadBuffer(buf, 6), EStreamReadError);
}

TEST(FileStream, PositionalStreamsOnOneFileAreIndependent) {
  const auto path = (std::filesystem::temp_directory_path() / "vyr_stream_test.bin").string();
  {
    auto out = MakeRef<TFileStream>(path, TFileStream::Mode::Create);
    out->WriteBuffer("0123456789", 10);
  }
  auto a = MakeRef<TFileStream>(path, TFileStream::Mode::Read);
  auto b = MakeRef<TFileStream>(path, TFileStream::Mode::Read);
  a->Seek(7);
  char x = 0, y = 0;
  a->ReadBuffer(&x, 1);
  b->ReadBuffer(&y, 1);
  EXPECT_EQ(x, '7');
  EXPECT_EQ(y, '0');
  EXPECT_EQ(a->Size(), 10);
  EXPECT_EQ(TFileStream::TryOpen(path + ".missing", TFileStream::Mode::Read), nullptr);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vyr
