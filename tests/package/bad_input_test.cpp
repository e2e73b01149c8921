// Damaged and hostile packages: every one gives a clear error and nothing worse.
#include <gtest/gtest.h>

#include <climits>

#include "package/container/package_errors.h"
#include "package/container/package_writer.h"
#include "package/container/vyr_unpack.h"
#include "package_fixture.h"

namespace vyr {
namespace {

using test::PatternBytes;

// A package built by hand: payload bytes, then the given directory text and a trailer.
std::string HandPackage(std::string_view payload, std::string_view directory,
                        bool longTrailer = true) {
  auto target = MakeRef<TMemoryStream>();
  target->WriteBuffer(payload.data(), static_cast<int64_t>(payload.size()));
  WriteDirectoryAndTrailer(*target, directory, longTrailer);
  return std::string(target->Bytes().begin(), target->Bytes().end());
}

void PutInt64(std::string& bytes, size_t offset, int64_t value) {
  auto v = static_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i, v >>= 8) bytes[offset + i] = static_cast<char>(v & 0xFF);
}

// Opens path and reads every entry; returns the open error or the first entry error.
std::string OpenAndReadAll(const std::string& path, int64_t inflateLimit = 1 << 20) {
  TVyrUnpack package(path, inflateLimit);
  if (!package.IsOpen()) return package.ErrorText().empty() ? "(no package)" : package.ErrorText();
  for (const auto& entry : package.Directory()->Entries()) {
    try {
      auto stream = package.OpenSection(entry.section);
      if (!stream) return "(entry not opened)";
      test::ReadAll(*stream);
    } catch (const EStreamError& error) {
      return error.what();
    }
  }
  return "ok";
}

TEST(BadInput, DirectoryValuesTable) {
  const std::string payload = PatternBytes(100);
  const struct {
    const char* what;
    std::string directory;
    std::string expected;
  } cases[] = {
      {"a sound entry", "[e]\r\n_ps=10\r\n_sz=20\r\n", "ok"},
      {"_ps beyond the file", "[e]\r\n_ps=5000\r\n_sz=1\r\n", "Insufficient Source Size"},
      {"_sz beyond the file", "[e]\r\n_ps=10\r\n_sz=100000\r\n", "Insufficient Source Size"},
      {"negative _ps", "[e]\r\n_ps=-1\r\n_sz=5\r\n", "Insufficient Source Size"},
      {"negative _sz", "[e]\r\n_ps=1\r\n_sz=-5\r\n", "Insufficient Source Size"},
      {"_sz near 2^63", "[e]\r\n_ps=10\r\n_sz=9223372036854775807\r\n", "Insufficient Source Size"},
      {"_ps near 2^63", "[e]\r\n_ps=9223372036854775800\r\n_sz=100\r\n",
       "Insufficient Source Size"},
      {"_ps not a number", "[e]\r\n_ps=ten\r\n_sz=5\r\n", "Insufficient Source Size"},
      {"stored bytes that do not inflate", "[e]\r\n_ps=0\r\n_sz=100\r\n_pm=1\r\n",
       "invalid block type"},
      {"strucpos moved without allowmodify", "[$protection$]\r\nstrucpos=99\r\n",
       "Slide-show File Modified"},
      {"strucpos not a number", "[$protection$]\r\nstrucpos=abc\r\nallowmodify=1\r\n",
       "Slide-show File Damaged"},
      {"negative strucpos", "[$protection$]\r\nstrucpos=-4\r\nallowmodify=1\r\n",
       "Slide-show File Damaged"},
      {"strucpos far away", "[$protection$]\r\nstrucpos=9223372036854775807\r\nallowmodify=1\r\n",
       "ok"},
      {"shift pushing _ps past 2^63",
       "[$protection$]\r\nstrucpos=0\r\nallowmodify=1\r\n[e]\r\n_ps=9223372036854775807\r\n"
       "_sz=1\r\n",
       "Insufficient Source Size"},
  };
  test::TTempDir dir;
  for (const auto& c : cases) {
    // The first payload byte 0xFF... never starts a valid deflate stream of "_pm=1".
    std::string bytes = HandPackage("\xFF" + payload.substr(1), c.directory);
    test::WriteFile(dir / "p", bytes);
    EXPECT_EQ(OpenAndReadAll(dir / "p"), c.expected) << c.what;
  }
}

TEST(BadInput, TrailerOffsetsOutsideTheFile) {
  test::TTempDir dir;
  const std::string good = HandPackage(PatternBytes(50), "[e]\r\n_ps=0\r\n_sz=50\r\n");
  const size_t size = good.size();
  const struct {
    const char* what;
    size_t offset;
    int64_t value;
  } cases[] = {
      {"S beyond the end", size - 20, int64_t{1} << 40},
      {"S negative", size - 20, -7},
      {"S at INT64_MAX", size - 20, INT64_MAX},
      {"V at INT64_MIN", size - 8, INT64_MIN},
      {"V negative", size - 8, -1000},
      {"V beyond the file", size - 8, INT64_MAX},
  };
  for (const auto& c : cases) {
    std::string bytes = good;
    PutInt64(bytes, c.offset, c.value);
    test::WriteFile(dir / "p", bytes);
    EXPECT_EQ(OpenAndReadAll(dir / "p"), "Slide-show File Damaged") << c.what;
  }
}

TEST(BadInput, DirectoryThatDoesNotInflate) {
  test::TTempDir dir;
  std::string bytes = HandPackage("", "[e]\r\n_ps=0\r\n_sz=0\r\n", false);
  bytes[0] = '\x07';  // an invalid block type
  test::WriteFile(dir / "p", bytes);
  EXPECT_EQ(OpenAndReadAll(dir / "p"), "invalid block type");
  test::WriteFile(dir / "p", std::string("\x01\x00\x00\xFF\xFF", 5) + std::string(8, '\0') +
                                 ".dne");  // S = 0 over a stored block
  EXPECT_EQ(OpenAndReadAll(dir / "p"), "ok");
}

TEST(BadInput, DeflatedEntryFarLargerThanItsNeighbours) {
  test::TTempDir dir;
  {
    auto file = MakeRef<TFileStream>(dir / "p", TFileStream::Mode::Create);
    TPackageWriter writer(file, {});
    writer.AddEntry("small", "tiny", TPackMethod::Deflated);
    writer.AddEntry("bomb", std::string(8 << 20, 'z'), TPackMethod::Deflated);
    writer.Finish();
  }
  TVyrUnpack package(dir / "p", 1 << 20);
  ASSERT_TRUE(package.IsOpen());
  EXPECT_EQ(test::ReadAll(*package.OpenEntry("small")), "tiny");
  EXPECT_THROW(package.OpenEntry("bomb"), EInflateError);
}

TEST(BadInput, EveryTruncationFailsCleanly) {
  test::TTempDir dir;
  std::string good;
  {
    auto target = MakeRef<TMemoryStream>();
    TPackageWriter writer(target, {.allowModify = true});
    writer.AddEntry("a", PatternBytes(300), TPackMethod::Deflated);
    writer.AddEntry("b", PatternBytes(200), TPackMethod::Scrambled);
    writer.Finish();
    good.assign(target->Bytes().begin(), target->Bytes().end());
  }
  test::WriteFile(dir / "p", good);
  ASSERT_EQ(OpenAndReadAll(dir / "p"), "ok");
  for (size_t cut = 0; cut < good.size(); ++cut) {
    // Cut from the end, and from the front (a package copied out incompletely).
    for (const std::string& bytes : {good.substr(0, cut), good.substr(good.size() - cut)}) {
      test::WriteFile(dir / "p", bytes);
      EXPECT_NO_THROW(OpenAndReadAll(dir / "p")) << cut;
    }
  }
}

}  // namespace
}  // namespace vyr
