# Gridwell: `make run` opens the program on the default dictionary,
# `make test` runs every test, `make deb` builds the Debian package. Each
# installs what it needs first.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
DICT := $(BUILD)/run/dictionary.dat
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 4
export GSETTINGS_BACKEND := memory

.PHONY: all build deps deb test test-main test-asan test-tsan test-fuzz run dictionary screenshots fuzz bench clean

all: build

deps:
	@tools/install-deps

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# Every test: the normal build (with the desktop program's tests under Xvfb),
# the engine again under AddressSanitizer+UndefinedBehaviorSanitizer and the
# threaded jobs under ThreadSanitizer, then each fuzzer for a few seconds.
test: deps
	@$(MAKE) --no-print-directory test-main test-asan test-tsan test-fuzz

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan:
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DGRIDWELL_SANITIZE=address,undefined \
	  -DGRIDWELL_GUI=OFF -DGRIDWELL_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-asan -j$(JOBS)
	cd $(BUILD)-asan && ctest --output-on-failure -j$(JOBS) -LE slow

test-tsan:
	@cmake -S . -B $(BUILD)-tsan -DCMAKE_BUILD_TYPE=Debug -DGRIDWELL_SANITIZE=thread \
	  -DGRIDWELL_GUI=OFF -DGRIDWELL_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-tsan -j$(JOBS)
	cd $(BUILD)-tsan && ctest --output-on-failure -j$(JOBS) -L threads -LE slow

test-fuzz:
	@if [ -f fuzz/run-fuzzers ]; then fuzz/run-fuzzers $(BUILD)-fuzz $(FUZZ_SMOKE_SECONDS); fi

fuzz: deps
	fuzz/run-fuzzers $(BUILD)-fuzz $(FUZZ_SECONDS)

# The default dictionary: the word list tools/default-word-list prints,
# imported by our own import.
dictionary: build
	@if [ ! -f $(DICT) ]; then \
	  mkdir -p $(BUILD)/run && tools/default-word-list > $(BUILD)/run/words.txt && \
	  (cd $(BUILD)/run && ../gridwell-cli -C . import words.txt); \
	fi

run: deps
	@$(MAKE) --no-print-directory dictionary
	@cd $(BUILD)/run && if [ -x ../gridwell ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  exec ../gridwell; \
	else \
	  echo "No display (or no desktop program built): a sample search instead."; \
	  echo "gridwell-cli find --anagram crate:"; ../gridwell-cli find --anagram crate; \
	fi

# The Debian package, built from a clean copy of the tree into
# $(BUILD)/deb/gridwell_VERSION_ARCH.deb and checked with lintian.
deb:
	@tools/install-deps --deb
	JOBS=$(JOBS) tools/make-deb $(BUILD)/deb

screenshots: deps build
	@if [ -f tests/gui/make-screenshots ]; then tests/gui/make-screenshots $(BUILD); fi

bench: build
	@tools/install-deps --bench
	bench/compare-peers $(BUILD)
	$(BUILD)/bench/gridwell_bench --benchmark_min_time=0.2
	$(BUILD)/bench/gridwell_wordnet_bench --benchmark_min_time=0.2
	bench/wordnet-timings $(BUILD)
	@if [ -x $(BUILD)/bench/gridwell_gui_list_bench ]; then bench/gui-list-bench $(BUILD); fi
	@$(MAKE) --no-print-directory dictionary
	@if [ -x bench/clue-quality ]; then bench/clue-quality $(BUILD); fi

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-fuzz
