// The entry streams: windows, the XOR key stream and raw inflate.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "package/container/crypt_stream.h"
#include "package/container/inflate_stream.h"
#include "package/container/package_errors.h"
#include "package/container/package_key.h"
#include "package/container/partial_stream.h"
#include "package_fixture.h"

namespace vyr {
namespace {

using test::PatternBytes;

TRef<TMemoryStream> MemoryOf(std::string_view bytes) {
  return MakeRef<TMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// zlib's own raw deflate, independent of the package writer.
std::string ZlibRawDeflate(std::string_view data) {
  z_stream zs{};
  deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

template <class E>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& error) {
    return error.what();
  }
  return "(nothing raised)";
}

TEST(PartialStream, ReadsOnlyItsWindow) {
  const std::string data = PatternBytes(100000);
  auto window = MakeRef<TPartialStream>(MemoryOf(data), 1000, 70000);
  EXPECT_EQ(window->Position(), 0);
  EXPECT_EQ(window->Size(), 70000);
  std::string all(80000, '\0');
  EXPECT_EQ(window->Read(all.data(), 80000), 70000);
  EXPECT_EQ(all.substr(0, 70000), data.substr(1000, 70000));
  EXPECT_EQ(window->Read(all.data(), 10), 0);

  window->Seek(69990);
  char tail[20];
  EXPECT_EQ(window->Read(tail, 20), 10);
  EXPECT_EQ(std::string(tail, 10), data.substr(70990, 10));
}

TEST(PartialStream, RefusesWindowsOutsideTheBase) {
  struct Case {
    int64_t start, size;
  } cases[] = {{-1, 10},
               {0, -1},
               {95, 6},
               {101, 0},
               {INT64_MAX, 1},
               {1, INT64_MAX},
               {INT64_MAX - 5, INT64_MAX - 5}};
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf<EStreamError>(
                  [&] { MakeRef<TPartialStream>(MemoryOf(PatternBytes(100)), c.start, c.size); }),
              "Insufficient Source Size")
        << c.start << "+" << c.size;
  }
  EXPECT_NO_THROW(MakeRef<TPartialStream>(MemoryOf(PatternBytes(100)), 100, 0));
}

TEST(PartialStream, SeekAndResizeErrors) {
  auto window = MakeRef<TPartialStream>(MemoryOf(PatternBytes(100)), 10, 50);
  EXPECT_EQ(MessageOf<EStreamError>([&] { window->Seek(-1); }), "Incorrect Position");
  EXPECT_EQ(MessageOf<EStreamError>([&] { window->Seek(51); }), "Incorrect Position");
  EXPECT_EQ(window->Seek(50), 50);
  EXPECT_EQ(MessageOf<EStreamError>([&] { window->SetSize(50); }), "Stream Cannot be resized");
}

TEST(PartialStream, WritesStayInsideTheWindow) {
  auto base = MemoryOf(std::string(20, '.'));
  auto window = MakeRef<TPartialStream>(base, 5, 10);
  window->Seek(6);
  EXPECT_EQ(window->Write("abcdefgh", 8), 4);
  EXPECT_EQ(std::string(base->Bytes().begin(), base->Bytes().end()), "...........abcd.....");
  window->Seek(8);
  EXPECT_THROW(window->WriteBuffer("xyz", 3), EStreamWriteError);
}

TEST(PartialStream, CallsBackPerChunkAndStopsWhenAsked) {
  auto window = MakeRef<TPartialStream>(MemoryOf(PatternBytes(10000)), 0, 10000);
  int calls = 0;
  window->SetChunkCallback([&] { return ++calls < 3; }, 1000);
  std::string buffer(10000, '\0');
  EXPECT_EQ(window->Read(buffer.data(), 10000), 3000);
  EXPECT_EQ(calls, 3);
}

TEST(CryptStream, XorsEachByteWithTheKeyAtItsPosition) {
  const std::string plain = PatternBytes(1000);
  auto inner = MemoryOf(plain);
  auto crypt = MakeRef<TCryptStream>(inner, kPackageKey);
  const std::string read = test::ReadAll(*crypt);
  ASSERT_EQ(read.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i)
    ASSERT_EQ(static_cast<char>(plain[i] ^ kPackageKey[i % 32]), read[i]) << i;
  EXPECT_EQ(crypt->Size(), 1000);
}

TEST(CryptStream, ReadFromTheMiddleMatchesReadFromTheStart) {
  const std::string plain = PatternBytes(20000, 7);
  auto crypt = MakeRef<TCryptStream>(MemoryOf(plain), kPackageKey);
  const std::string whole = test::ReadAll(*crypt);
  for (const int64_t p : {1, 31, 32, 33, 4095, 4096, 4127, 12345}) {
    crypt->Seek(p);
    std::string part(5000, '\0');
    const int64_t got = crypt->Read(part.data(), 5000);
    part.resize(static_cast<size_t>(got));
    EXPECT_EQ(part, whole.substr(static_cast<size_t>(p), static_cast<size_t>(got))) << p;
  }
}

// The word-wide XOR against the byte loop it replaces: keys of many lengths, pieces that start
// and end anywhere in the key and cross the key pattern's block, at unaligned addresses.
TEST(KeyStream, MatchesTheByteLoopOnGeneratedPieces) {
  uint32_t state = 2024;
  const auto next = [&state](uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  // Keys whose length divides 64 take the path that keeps the key in registers.
  const size_t strideKeys[] = {1, 2, 4, 8, 16, 32, 64};
  for (int round = 0; round < 600; ++round) {
    const size_t length = round < 100   ? 1 + next(40)
                          : round < 400 ? 1 + next(5000)
                                        : strideKeys[next(7)];
    std::string key(length, '\0');
    for (char& c : key) c = static_cast<char>(next(256));
    const TKeyStream stream(key);
    const int64_t position = next(1u << 20);
    const size_t count = next(round % 4 == 0 ? 20 : 13000), skew = next(16);
    std::vector<uint8_t> buffer(count + skew);
    for (uint8_t& b : buffer) b = static_cast<uint8_t>(next(256));
    std::vector<uint8_t> expected(buffer.begin() + static_cast<ptrdiff_t>(skew), buffer.end());
    for (size_t i = 0; i < count; ++i)
      expected[i] ^= static_cast<uint8_t>(key[(static_cast<size_t>(position) + i) % key.size()]);
    stream.Apply(buffer.data() + skew, static_cast<int64_t>(count), position);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin() + skew))
        << "round " << round << ", key " << key.size() << ", position " << position << ", count "
        << count;
  }
}

TEST(CryptStream, WriteThenReadGivesThePlainBytes) {
  const std::string plain = PatternBytes(70000, 3);
  auto inner = MakeRef<TMemoryStream>();
  auto crypt = MakeRef<TCryptStream>(inner, "k3y");
  crypt->Seek(0);
  crypt->WriteBuffer(plain.data(), 100);
  crypt->WriteBuffer(plain.data() + 100, static_cast<int64_t>(plain.size()) - 100);
  EXPECT_NE(std::string(inner->Bytes().begin(), inner->Bytes().end()), plain);
  crypt->Seek(0);
  EXPECT_EQ(test::ReadAll(*crypt), plain);
}

TEST(InflateStream, InflatesAStoredBlockByHand) {
  // A final stored block of three bytes: header 01, LEN 0003, NLEN FFFC.
  const std::string block(
      "\x01\x03\x00\xFC\xFF"
      "abc",
      8);
  auto inflater = MakeRef<TInflateStream>(MemoryOf(block), 3);
  EXPECT_EQ(inflater->Size(), 3);
  EXPECT_EQ(test::ReadAll(*inflater), "abc");
  EXPECT_EQ(inflater->Position(), 3);
}

TEST(InflateStream, InflatesWhatZlibDeflated) {
  const std::string text = std::string(300000, 'x') + PatternBytes(200000);
  auto inflater = MakeRef<TInflateStream>(MemoryOf(ZlibRawDeflate(text)));
  std::string out(text.size(), '\0');
  int64_t done = 0;
  while (done < static_cast<int64_t>(out.size())) {
    const int64_t got = inflater->Read(out.data() + done, 7777);
    ASSERT_GT(got, 0);
    done += got;
  }
  EXPECT_EQ(out, text);
  EXPECT_EQ(inflater->Read(out.data(), 10), 0);
  EXPECT_TRUE(inflater->Finished());
}

TEST(InflateStream, EverythingButReadingForwardIsRefused) {
  auto inflater = MakeRef<TInflateStream>(MemoryOf(ZlibRawDeflate("hello world")));
  char buffer[5];
  inflater->ReadBuffer(buffer, 5);
  EXPECT_EQ(inflater->Seek(5), 5);
  for (const auto& action : std::vector<std::function<void()>>{
           [&] { inflater->Seek(0); }, [&] { inflater->Seek(6); }, [&] { inflater->Write("x", 1); },
           [&] { inflater->SetSize(3); }})
    EXPECT_EQ(MessageOf<EStreamError>(action), "Invalid ZStream operation!");
}

TEST(InflateStream, CorruptOrTruncatedDataGivesZlibsMessage) {
  EXPECT_EQ(MessageOf<EInflateError>(
                [] { test::ReadAll(*MakeRef<TInflateStream>(MemoryOf("\x07garbage"))); }),
            "invalid block type");
  const std::string deflated = ZlibRawDeflate(PatternBytes(5000));
  EXPECT_EQ(MessageOf<EInflateError>([&] {
              test::ReadAll(*MakeRef<TInflateStream>(MemoryOf(deflated.substr(0, 100))));
            }),
            "unexpected end of file");
  EXPECT_THROW(test::ReadAll(*MakeRef<TInflateStream>(MemoryOf(""))), EInflateError);
}

TEST(InflateToMemory, GrowsToTheInflatedSizeAndStopsAtTheLimit) {
  const std::string zeros(1 << 20, '\0');
  const std::string deflated = ZlibRawDeflate(zeros);
  ASSERT_LT(deflated.size(), 2000u);
  const auto memory = InflateToMemory(MemoryOf(deflated), 1 << 20);
  EXPECT_EQ(memory->Size(), 1 << 20);
  EXPECT_TRUE(std::all_of(memory->Data(), memory->Data() + memory->Size(),
                          [](uint8_t b) { return b == 0; }));
  EXPECT_THROW(memory->Write("x", 1), EStreamWriteError);
  EXPECT_THROW(InflateToMemory(MemoryOf(deflated), (1 << 20) - 1), EInflateError);
  EXPECT_EQ(InflateToMemory(MemoryOf(ZlibRawDeflate("")), 1 << 20)->Size(), 0);
}

}  // namespace
}  // namespace vyr
