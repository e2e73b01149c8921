# The two set-up commands: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

# ccache (when installed) keys objects on paths relative to the checkout, so every clone shares them.
export CCACHE_BASEDIR  ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all deps build run test install package test-asan test-tsan bench fuzz format clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The main job: make, pack and check the demo show and play it in a window (without a display,
# render its frames and contact sheet).
run: build
	./scripts/run-demo.sh $(BUILD)

# A failed test runs once more, so that one late window on a loaded machine does not sink a run;
# the failure still shows in the output. (The window that "never appeared" was an X server
# resetting after its last client left; the player now tries the display again.)
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --repeat until-pass:2

# Installs the programs and their desktop files below $(DESTDIR)$(PREFIX).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, into $(BUILD)/package/.
package: build
	cd $(BUILD) && cpack -G DEB

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVYR_SANITIZE=ON

# LeakSanitizer's scan of the threads' dynamic TLS blocks crashes at exit on this glibc when a
# thread of a loaded library is going away ("Tracer caught signal 11" in ScanRangeForPointers), so
# thread-local storage is not scanned (use_tls=0): the few library blocks held only from
# thread-local variables are suppressed by name instead. A failed test runs once more.
test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan_gtk.supp:use_tls=0:print_suppressions=0 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --repeat until-pass:2

# ThreadSanitizer over the suites that exercise threads.
TSAN_BUILD ?= build-tsan
TSAN_SUITES ?= test_platform test_video test_player
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_SUITES)
	for suite in $(TSAN_SUITES); do \
	  TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" ./$(TSAN_BUILD)/tests/*/$$suite || exit 1; done

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVYR_TESTS=OFF -DVYR_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	./scripts/run-bench.sh $(BENCH_BUILD)

# Short runs of every fuzz target (FUZZ_SECONDS each), then the thumbnailer (of the regular
# build) over the picture corpora.
FUZZ_SECONDS ?= 20
fuzz: deps $(BUILD)/build.ninja
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DVYR_TESTS=OFF -DVYR_FUZZ=ON -DVYR_WERROR=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" \
	  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)
	cmake --build $(BUILD) -j $(JOBS) --target vyrviewer
	./scripts/thumbnail-corpus.sh $(BUILD) $(FUZZ_BUILD)

format:
	find src apps tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs -r clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
