// Packages written by our writer and read back: trailer forms, moved packages,
// entry methods, names and concurrent readers.
#include <gtest/gtest.h>

#include <thread>

#include "package/container/load_callback.h"
#include "package/container/package_errors.h"
#include "package/container/package_key.h"
#include "package/container/package_writer.h"
#include "package/container/vyr_unpack.h"
#include "package_fixture.h"

namespace vyr {
namespace {

using test::PatternBytes;
using test::ReadAll;
using test::ReadFile;
using test::WriteFile;

struct TFixtureEntry {
  std::string name;
  std::string bytes;
  TPackMethod method;
};

const std::vector<TFixtureEntry>& SampleEntries() {
  static const std::vector<TFixtureEntry> entries = {
      {"Project.vyr", "[Main]\r\nopt_scr_width=800\r\n", TPackMethod::Deflated},
      {"pics\\a.jpg", PatternBytes(70000, 1), TPackMethod::Stored},
      {"a]b", "bracketed", TPackMethod::Stored},
      {"secret.bin", PatternBytes(100000, 2), TPackMethod::Scrambled},
      {"empty", "", TPackMethod::Deflated},
  };
  return entries;
}

// Writes prefix (a stand-in for the player program) followed by a package.
std::string BuildPackage(const std::string& path, TPackageWriterOptions options,
                         std::string_view prefix = {},
                         const std::vector<TFixtureEntry>& entries = SampleEntries()) {
  {
    auto file = MakeRef<TFileStream>(path, TFileStream::Mode::Create);
    file->WriteBuffer(prefix.data(), static_cast<int64_t>(prefix.size()));
    TPackageWriter writer(file, options);
    for (const auto& entry : entries) writer.AddEntry(entry.name, entry.bytes, entry.method);
    writer.Finish();
  }
  return ReadFile(path);
}

void ExpectEntriesRead(const TVyrUnpack& package) {
  for (const auto& entry : SampleEntries()) {
    auto stream = package.OpenEntry(entry.name);
    ASSERT_TRUE(stream) << entry.name;
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_EQ(stream->Size(), static_cast<int64_t>(entry.bytes.size())) << entry.name;
    EXPECT_EQ(ReadAll(*stream), entry.bytes) << entry.name;
  }
}

int64_t Int64At(const std::string& bytes, size_t offset) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return static_cast<int64_t>(v);
}

TEST(Package, ShortTrailerIsTwelveBytesWithBaseZero) {
  test::TTempDir dir;
  const std::string bytes = BuildPackage(dir / "short.vyshow", {.longTrailer = false});
  ASSERT_EQ(bytes.substr(bytes.size() - 4), ".dne");
  const int64_t directory = Int64At(bytes, bytes.size() - 12);

  TVyrUnpack package(dir / "short.vyshow");
  ASSERT_TRUE(package.IsOpen()) << package.ErrorText();
  EXPECT_EQ(package.DirectoryOffset(), directory);
  EXPECT_EQ(package.Shift(), 0);
  ExpectEntriesRead(package);
}

TEST(Package, LongTrailerOfAProgramWithItsShow) {
  test::TTempDir dir;
  const std::string program = PatternBytes(5000, 9);
  const std::string bytes = BuildPackage(dir / "player", {.version = "9.015"}, program);
  ASSERT_EQ(bytes.substr(0, program.size()), program);
  ASSERT_EQ(bytes.substr(bytes.size() - 12, 4), ".dne");
  EXPECT_EQ(Int64At(bytes, bytes.size() - 8), static_cast<int64_t>(bytes.size()) - 8);

  TVyrUnpack package(dir / "player");
  ASSERT_TRUE(package.IsOpen()) << package.ErrorText();
  EXPECT_EQ(package.Version(), "9.015");
  EXPECT_EQ(package.DirectoryOffset(), Int64At(bytes, bytes.size() - 20));
  EXPECT_EQ(package.Shift(), 0);
  const auto stored = package.FindEntry("pics\\a.jpg");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->size, 70000);
  EXPECT_EQ(stored->method, 0);
  EXPECT_EQ(bytes.substr(static_cast<size_t>(stored->offset), 70000), PatternBytes(70000, 1));
  ExpectEntriesRead(package);
}

TEST(Package, MovedPackageReadsOnlyWhenModificationIsAllowed) {
  test::TTempDir dir;
  const std::string program = PatternBytes(3000, 5);
  const std::string inserted = PatternBytes(777, 6);
  for (const bool allow : {true, false}) {
    const std::string original = BuildPackage(dir / "player", {.allowModify = allow}, program);
    // Backward: the package cut out of its program into a file of its own.
    WriteFile(dir / "copied.vyshow", original.substr(program.size()));
    // Forward: bytes inserted in front of the whole program.
    WriteFile(dir / "moved", inserted + original);

    TVyrUnpack copied(dir / "copied.vyshow");
    TVyrUnpack moved(dir / "moved");
    if (allow) {
      ASSERT_TRUE(copied.IsOpen()) << copied.ErrorText();
      EXPECT_EQ(copied.Shift(), -3000);
      ExpectEntriesRead(copied);
      ASSERT_TRUE(moved.IsOpen()) << moved.ErrorText();
      EXPECT_EQ(moved.Shift(), 777);
      ExpectEntriesRead(moved);
    } else {
      EXPECT_FALSE(copied.IsOpen());
      EXPECT_EQ(copied.ErrorText(), "Slide-show File Modified");
      EXPECT_FALSE(moved.IsOpen());
      EXPECT_EQ(moved.ErrorText(), "Slide-show File Modified");
    }
  }
}

TEST(Package, EntriesAreFoundByTheirEscapedNames) {
  test::TTempDir dir;
  const std::vector<TFixtureEntry> entries = {
      {"a]b", "1", TPackMethod::Stored},
      {"ColorSpaceExe_sRGB].QZGFX", "2", TPackMethod::Stored},
      {"line\nbreak", "3", TPackMethod::Stored},
      {"Caf\xC3\xA9.PNG", "4", TPackMethod::Stored},
  };
  BuildPackage(dir / "p", {}, {}, entries);
  TVyrUnpack package(dir / "p");
  ASSERT_TRUE(package.IsOpen());
  for (const auto& entry : entries) {
    auto stream = package.OpenEntry(entry.name);
    ASSERT_TRUE(stream) << entry.name;
    EXPECT_EQ(ReadAll(*stream), entry.bytes);
  }
  EXPECT_TRUE(package.OpenSection("a>b"));
  EXPECT_TRUE(package.OpenSection("line#0Abreak"));
  EXPECT_TRUE(package.OpenEntry("caf\xC3\x89.png")) << "section names match without case";
  EXPECT_FALSE(package.OpenEntry("missing"));
  EXPECT_FALSE(package.OpenEntry("$protection$"));
  EXPECT_FALSE(package.FindEntry(""));
}

TEST(Package, ScrambledEntryIsKeyedFromItsFirstByteAndReadsFromTheMiddle) {
  test::TTempDir dir;
  const std::string bytes = BuildPackage(dir / "p", {});
  TVyrUnpack package(dir / "p");
  const auto location = package.FindEntry("secret.bin");
  ASSERT_TRUE(location);
  EXPECT_EQ(location->method, 2);
  const std::string plain = PatternBytes(100000, 2);
  const std::string stored = bytes.substr(static_cast<size_t>(location->offset), 100000);
  for (size_t i = 0; i < plain.size(); i += 997)
    ASSERT_EQ(stored[i], static_cast<char>(plain[i] ^ kPackageKey[i % 32])) << i;

  auto stream = package.OpenEntry("secret.bin");
  for (const int64_t p : {0, 1, 33, 32768, 40001, 99999}) {
    stream->Seek(p);
    std::string part(1000, '\0');
    part.resize(static_cast<size_t>(stream->Read(part.data(), 1000)));
    EXPECT_EQ(part, plain.substr(static_cast<size_t>(p), 1000)) << p;
  }
}

TEST(Package, DeflatedEntryReportsItsInflatedSize) {
  test::TTempDir dir;
  const std::string text(200000, 'v');
  BuildPackage(dir / "p", {}, {}, {{"Project.vyr", text, TPackMethod::Deflated}});
  TVyrUnpack package(dir / "p");
  const auto location = package.FindEntry("project.VYR");
  ASSERT_TRUE(location);
  EXPECT_LT(location->size, 2000);
  auto stream = package.OpenEntry("Project.vyr");
  EXPECT_EQ(stream->Size(), 200000);
  stream->Seek(150000);
  EXPECT_EQ(ReadAll(*stream), text.substr(150000));
}

TEST(Package, TwoThreadsReadTwoEntriesAtOnce) {
  test::TTempDir dir;
  const std::vector<TFixtureEntry> entries = {
      {"one", PatternBytes(3 << 20, 11), TPackMethod::Stored},
      {"two", PatternBytes(3 << 20, 12), TPackMethod::Scrambled},
  };
  BuildPackage(dir / "p", {}, {}, entries);
  const auto package = MakeRef<TVyrUnpack>(dir / "p");
  ASSERT_TRUE(package->IsOpen());
  std::string results[2];
  std::thread readers[2];
  for (int t = 0; t < 2; ++t) {
    readers[t] = std::thread([&, t] {
      for (int round = 0; round < 3; ++round) {
        auto stream = package->OpenEntry(entries[t].name);
        std::string got;
        char chunk[4099];
        for (int64_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) got.append(chunk, n);
        results[t] = std::move(got);
      }
    });
  }
  for (auto& reader : readers) reader.join();
  EXPECT_TRUE(results[0] == entries[0].bytes);
  EXPECT_TRUE(results[1] == entries[1].bytes);
}

TEST(Package, CancelModeCutsEntryReadsShort) {
  test::TTempDir dir;
  BuildPackage(dir / "p", {});
  TVyrUnpack package(dir / "p");
  auto stream = package.OpenEntry("pics\\a.jpg");
  SetLoadCallBackMode(TLoadCallBackMode::Cancel);
  std::string buffer(70000, '\0');
  const int64_t got = stream->Read(buffer.data(), 70000);
  SetLoadCallBackMode(TLoadCallBackMode::None);
  EXPECT_EQ(got, 32768);
}

TEST(Package, WriterRefusesNamesThatCannotBeStored) {
  auto target = MakeRef<TMemoryStream>();
  TPackageWriter writer(target, {});
  writer.AddEntry("Pic.jpg", "x", TPackMethod::Stored);
  for (const char* name : {"", "pic.JPG", "$Protection$", " lead", "trail "})
    EXPECT_THROW(writer.AddEntry(name, "y", TPackMethod::Stored), EPackageWriteError) << name;
}

TEST(Package, VersionAndOpenFailures) {
  test::TTempDir dir;
  BuildPackage(dir / "p", {.version = "1.2.3"});
  std::string version;
  EXPECT_TRUE(TVyrUnpack::PackageVersion(dir / "p", version));
  EXPECT_EQ(version, "1.2.3");

  TVyrUnpack missing(dir / "nothing-here");
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.ErrorText(), "Slideshow File not Found");
  EXPECT_FALSE(TVyrUnpack::PackageVersion(dir / "nothing-here", version));

  WriteFile(dir / "plain.txt", "just some text, no package here");
  TVyrUnpack plain(dir / "plain.txt");
  EXPECT_FALSE(plain.IsOpen());
  EXPECT_EQ(plain.ErrorText(), "");

  TVyrUnpack opened(dir / "p");
  ASSERT_TRUE(opened.IsOpen());
  opened.Close();
  EXPECT_FALSE(opened.IsOpen());
  EXPECT_FALSE(opened.OpenEntry("Project.vyr"));
}

}  // namespace
}  // namespace vyr
