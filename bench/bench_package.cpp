// Package reader figures: opening a package of 10,000 entries, and reading 100 MB
// entries compared with plain read() (stored, scrambled) and zlib's inflate (deflated).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "package/container/package_writer.h"
#include "package/container/vyr_unpack.h"
#include "thread_clock.h"

namespace {

using namespace vyr;

using Clock = ThreadClock;

constexpr int64_t kBigEntry = 100 << 20;
constexpr int64_t kChunk = 1 << 20;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("vyr-bench-") + name + "-" + std::to_string(::getpid())))
      .string();
}

// Text-like bytes that deflate to about a third, as project texts and many media do not.
std::vector<uint8_t> SampleBytes(int64_t size) {
  static const char* words[] = {"slide ",    "picture ", "opt_scr_width=1920\r\n",
                                "object ",   "end\r\n",  "GUID={A1B2} ",
                                "keyframe ", "0.25 ",    "music "};
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(size));
  uint32_t state = 12345;
  while (static_cast<int64_t>(bytes.size()) < size) {
    state = state * 1664525u + 1013904223u;
    const char* word = words[(state >> 16) % 9];
    if ((state >> 8) % 7 == 0) bytes.push_back(static_cast<uint8_t>(state >> 24));
    for (const char* c = word; *c && static_cast<int64_t>(bytes.size()) < size; ++c)
      bytes.push_back(static_cast<uint8_t>(*c));
  }
  return bytes;
}

// Leaves the file as a package from disk is met: its pages dropped from the cache and read
// back by the kernel's read-ahead. Otherwise the cache keeps the pages as they were written,
// and entries written in different piece sizes sit in pages of different sizes, which alone
// changes their read cost by half.
void ComeFromDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  std::vector<char> buffer(1 << 20);
  while (::read(fd, buffer.data(), buffer.size()) > 0) {
  }
  ::close(fd);
}

struct TBigPackage {
  std::string path = TempPath("big");
  TBigPackage() {
    {
      TPackageWriter writer(MakeRef<TFileStream>(path, TFileStream::Mode::Create), {});
      TMemoryStream sample(SampleBytes(kBigEntry));
      for (const auto& [name, method] :
           {std::pair{"stored", TPackMethod::Stored}, std::pair{"deflated", TPackMethod::Deflated},
            std::pair{"scrambled", TPackMethod::Scrambled}}) {
        sample.Seek(0);
        writer.AddEntry(name, sample, method);
      }
      writer.Finish();
    }
    ComeFromDisk(path);
  }
  ~TBigPackage() { std::remove(path.c_str()); }
};

const TBigPackage& BigPackage() {
  static const TBigPackage package;
  return package;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// read() of a byte range in pieces of `piece` bytes: the baseline of stored and
// scrambled entries.
void PlainRead(const std::string& path, int64_t offset, int64_t size, int64_t piece,
               std::vector<char>& buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  ::lseek(fd, offset, SEEK_SET);
  for (int64_t left = size; left > 0;) {
    const ssize_t got = ::read(fd, buffer.data(), static_cast<size_t>(std::min(left, piece)));
    if (got <= 0) break;
    left -= got;
  }
  ::close(fd);
}

// read() and inflate() of a byte range: the baseline of deflated entries. With whole
// true the output goes to one fresh block of the inflated size (what opening a deflated
// entry must produce), else through a 1 MiB buffer.
void PlainInflate(const std::string& path, int64_t offset, int64_t size, bool whole,
                  std::vector<char>& buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  ::lseek(fd, offset, SEEK_SET);
  std::vector<char> input(65536);
  char* block = whole ? static_cast<char*>(std::malloc(kBigEntry)) : nullptr;
  z_stream zs{};
  inflateInit2(&zs, -15);
  zs.next_out = reinterpret_cast<Bytef*>(block);
  zs.avail_out = whole ? static_cast<uInt>(kBigEntry) : 0;
  int code = Z_OK;
  for (int64_t left = size; left > 0 && code != Z_STREAM_END;) {
    const ssize_t got =
        ::read(fd, input.data(), static_cast<size_t>(std::min<int64_t>(left, 65536)));
    if (got <= 0) break;
    left -= got;
    zs.next_in = reinterpret_cast<Bytef*>(input.data());
    zs.avail_in = static_cast<uInt>(got);
    while (zs.avail_in > 0 && code != Z_STREAM_END) {
      if (!whole) {
        zs.next_out = reinterpret_cast<Bytef*>(buffer.data());
        zs.avail_out = static_cast<uInt>(kChunk);
      }
      code = inflate(&zs, Z_NO_FLUSH);
      benchmark::DoNotOptimize(zs.next_out);
    }
  }
  inflateEnd(&zs);
  std::free(block);
  ::close(fd);
}

void EntryRead(const TVyrUnpack& package, const char* name, std::vector<char>& buffer) {
  auto stream = package.OpenEntry(name);
  while (stream->Read(buffer.data(), kChunk) > 0) benchmark::DoNotOptimize(buffer.data());
}

// Each iteration times the entry read and two baselines on the same bytes. The manual
// time is the entry read's CPU time; "ratio" is entry time / first baseline and
// "ratio_alt" entry time / second baseline:
//   stored, scrambled: read() in 1 MiB pieces; read() in 32 KiB pieces (the entry chunk)
//   deflated: inflate into one block of the inflated size; inflate through 1 MiB
// A scrambled entry also gets "ratio_stored": its time / the stored entry read the same way.
void BM_EntryRead(benchmark::State& state, const char* name) {
  const auto& big = BigPackage();
  TVyrUnpack package(big.path);
  const auto location = *package.FindEntry(name);
  std::vector<char> buffer(kChunk);
  const bool deflated = location.method == 1;
  const auto baseline = [&](bool first) {
    if (deflated) {
      PlainInflate(big.path, location.offset, location.size, first, buffer);
    } else {
      PlainRead(big.path, location.offset, location.size, first ? kChunk : 32768, buffer);
    }
  };
  const bool scrambled = location.method == 2;
  double ours = 0, first = 0, second = 0, stored = 0;
  bool storedFirst = false;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    baseline(true);
    const auto t1 = Clock::now();
    baseline(false);
    // The stored read goes before and after the scrambled one by turns: the read that
    // follows another runs on warmer caches.
    storedFirst = !storedFirst;
    const auto t2 = Clock::now();
    if (scrambled && storedFirst) EntryRead(package, "stored", buffer);
    const auto t3 = Clock::now();
    EntryRead(package, name, buffer);
    const auto t4 = Clock::now();
    if (scrambled && !storedFirst) EntryRead(package, "stored", buffer);
    const auto t5 = Clock::now();
    first += Seconds(t1 - t0);
    second += Seconds(t2 - t1);
    ours += Seconds(t4 - t3);
    stored += Seconds(t3 - t2) + Seconds(t5 - t4);
    state.SetIterationTime(Seconds(t4 - t3));
  }
  state.SetBytesProcessed(state.iterations() * kBigEntry);
  state.counters["ratio"] = ours / first;
  state.counters["ratio_alt"] = ours / second;
  if (scrambled) state.counters["ratio_stored"] = ours / stored;
}
BENCHMARK_CAPTURE(BM_EntryRead, stored, "stored")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EntryRead, deflated, "deflated")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EntryRead, scrambled, "scrambled")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Trailer, directory inflate and parse of a package with 10,000 entries.
void BM_Open10000Entries(benchmark::State& state) {
  const std::string path = TempPath("many");
  {
    auto file = MakeRef<TFileStream>(path, TFileStream::Mode::Create);
    TPackageWriter writer(file, {});
    for (int i = 0; i < 10000; ++i)
      writer.AddEntry("pictures\\slide" + std::to_string(i) + "\\photo.jpg",
                      std::to_string(i) + " bytes of a picture", TPackMethod::Stored);
    writer.Finish();
  }
  for (auto _ : state) {
    TVyrUnpack package(path);
    if (!package.IsOpen()) state.SkipWithError("package did not open");
    benchmark::DoNotOptimize(package.Directory());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_Open10000Entries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
