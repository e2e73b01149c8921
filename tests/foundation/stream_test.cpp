#include "foundation/stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A FIFO, a folder or a device named where a file is read: refused, never waited on. (The
// FIFO has a writer, so an open that waited would return instead of hanging this test.)
TEST(FileStream, OnlyRegularFilesOpenForReading) {
  const auto folder = std::filesystem::temp_directory_path() / "vyr_stream_kinds";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "sub");
  const std::string fifo = (folder / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  for (const std::string& path : {fifo, (folder / "sub").string(), std::string("/dev/null")})
    for (const auto mode : {TFileStream::Mode::Read, TFileStream::Mode::ReadWrite})
      EXPECT_EQ(TFileStream::TryOpen(path, mode), nullptr) << path;
  try {
    MakeRef<TFileStream>(fifo, TFileStream::Mode::Read);
    ADD_FAILURE() << "the FIFO opened";
  } catch (const EFileStreamError& error) {
    EXPECT_NE(std::string(error.what()).find("Not a regular file"), std::string::npos);
  }
  EXPECT_NE(TFileStream::TryOpen((folder / "new").string(), TFileStream::Mode::Create), nullptr);
  ::close(writer);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vyr
