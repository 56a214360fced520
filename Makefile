# SPDX-License-Identifier: GPL-3.0-or-later
# Front door of the build: everything goes through CMake in build/.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
THREAD_BUILD ?= build-thread
CLANG_BUILD ?= build-clang
NOSIMD_BUILD ?= build-nosimd
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
# ON turns every compiler warning into an error (CI builds so).
WERROR ?= OFF
# Debian's default clang, whichever version the release ships.
CLANGXX ?= clang++

.PHONY: all deps deps-run configure build test test-sanitize test-thread test-clang test-nosimd \
        fuzz fuzz-targets run bench package format format-check clean

all: build

# The packages everything needs; deps-run only those that building and running the game needs.
deps:
	@bash scripts/install-deps.sh all

deps-run:
	@bash scripts/install-deps.sh run

# Everything: the tests and the benchmarks are turned back on in a folder that `make run` made.
configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DLINDORA_WITH_TESTS=ON \
	  -DLINDORA_WITH_BENCH=ON -DLINDORA_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
# The fast search also checks each of its short-cuts against the full search as it fires.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDORA_SANITIZE=ON \
	  -DLINDORA_CHECK_SHORTCUTS=ON -DLINDORA_WITH_BENCH=OFF -DLINDORA_WERROR=$(WERROR) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

# The engine tests built with ThreadSanitizer: the helper threads share a job and its counters.
# The comparison of the fast and plain searches over game positions takes the first
# THREAD_POSITIONS of the 2,000, which under the sanitizer would run for well over ten minutes;
# the other builds take them all. Then THREAD_TESTS, the other tests that think off their caller's
# thread, about half a minute more: the window's Hard, Expert and hint, whose worker hands its
# answer back to the interface thread (LevelWindow, and Keyboard's shortcuts, which start a hint
# and stop it; the other window tests, a minute more, think on the interface thread alone); the
# engine protocol in-process at Hard and Expert within the manager's times (BrainSession); the
# real pbrain-lindora through its pipes (BrainProgram); the match runner's games on threads of
# their own, and the program at Expert under it (two Match tests; the others try processes and
# clocks, not threads). Qt is not built with the sanitizer, so the window tests have it judge
# their own code alone (tests/ui/TestMain.cpp says why). Every program, a pbrain-lindora that a
# test starts as well, stops at its first report and writes it to $(THREAD_BUILD)/tsan-reports/;
# any report there fails the run, also where the test passed. THREAD_SKIP leaves out the tests it
# matches, none unless given.
THREAD_POSITIONS ?= 300
THREAD_TESTS ?= ^(LevelWindow|BrainSession|BrainProgram)\.|^Keyboard\.Shortcuts|^Match\.(Concurrent|TheEngineAtExpert)
THREAD_SKIP ?=
THREAD_REPORTS = $(abspath $(THREAD_BUILD))/tsan-reports
test-thread: deps
	@cmake -S . -B $(THREAD_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDORA_TSAN=ON \
	  -DLINDORA_WITH_UI=ON -DLINDORA_WITH_BENCH=OFF -DLINDORA_WERROR=$(WERROR) >/dev/null
	@cmake --build $(THREAD_BUILD) -j $(JOBS) --target engine_tests ui_tests brain_tests
	@rm -rf $(THREAD_REPORTS) && mkdir -p $(THREAD_REPORTS)
	cd $(THREAD_BUILD) && export QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:log_path=$(THREAD_REPORTS)/report \
	  LINDORA_GAME_POSITIONS=$(THREAD_POSITIONS) && \
	  ctest --output-on-failure -j $(JOBS) -L engine $(if $(THREAD_SKIP),-E '$(THREAD_SKIP)') && \
	  ctest --output-on-failure -j $(JOBS) -R '$(THREAD_TESTS)' $(if $(THREAD_SKIP),-E '$(THREAD_SKIP)'); \
	  status=$$?; for report in $(THREAD_REPORTS)/report.*; do \
	    [ -e "$$report" ] && { cat "$$report"; status=1; }; done; exit $$status

# The whole project again with clang, every warning an error, and every test run.
test-clang: deps
	@cmake -S . -B $(CLANG_BUILD) -DCMAKE_CXX_COMPILER=$(CLANGXX) -DCMAKE_BUILD_TYPE=Release \
	  -DLINDORA_WERROR=ON >/dev/null
	@cmake --build $(CLANG_BUILD) -j $(JOBS)
	cd $(CLANG_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The engine and its tests without the SSE2 paths: the scalar code other processors run.
test-nosimd: deps
	@cmake -S . -B $(NOSIMD_BUILD) -DCMAKE_BUILD_TYPE=Release -DLINDORA_NO_SIMD=ON \
	  -DLINDORA_WITH_UI=OFF -DLINDORA_WITH_BENCH=OFF -DLINDORA_WERROR=$(WERROR) >/dev/null
	@cmake --build $(NOSIMD_BUILD) -j $(JOBS) --target engine_tests
	cd $(NOSIMD_BUILD) && ctest --output-on-failure -j $(JOBS) -L engine

# Three libFuzzer targets, each for a third of FUZZ_SECONDS, each from its committed seed corpus
# (tests/fuzz/corpus, shell-corpus, brain-corpus) plus what it grew in earlier runs: the record
# reader, the engine shell's commands and the engine protocol's lines. CMake builds them with
# clang in their own folder, from the same libraries the programs link. A finding (crash-*, leak-*,
# timeout-*) is written to $(FUZZ_BUILD)/artifacts/.
FUZZ_SHARE = $(shell s=$$(( $(FUZZ_SECONDS) / 3 )); [ $$s -ge 1 ] || s=1; echo $$s)
FUZZ_RUN = -max_total_time=$(FUZZ_SHARE) -timeout=30 -print_final_stats=1 \
  -artifact_prefix=$(FUZZ_BUILD)/artifacts/

fuzz: fuzz-targets
	@mkdir -p $(FUZZ_BUILD)/grown/record $(FUZZ_BUILD)/grown/shell $(FUZZ_BUILD)/grown/brain \
	  $(FUZZ_BUILD)/artifacts
	$(FUZZ_BUILD)/record_fuzz $(FUZZ_RUN) $(FUZZ_BUILD)/grown/record tests/fuzz/corpus
	$(FUZZ_BUILD)/shell_fuzz $(FUZZ_RUN) -max_len=8192 -dict=tests/fuzz/shell.dict \
	  $(FUZZ_BUILD)/grown/shell tests/fuzz/shell-corpus
	$(FUZZ_BUILD)/brain_fuzz $(FUZZ_RUN) -max_len=8192 -dict=tests/fuzz/brain.dict \
	  $(FUZZ_BUILD)/grown/brain tests/fuzz/brain-corpus

fuzz-targets: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=$(CLANGXX) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLINDORA_FUZZ=ON -DLINDORA_CHECK_SHORTCUTS=ON -DLINDORA_WITH_UI=OFF -DLINDORA_WITH_BENCH=OFF \
	  >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target record_fuzz shell_fuzz brain_fuzz

# The game alone, from the run set of packages. A build folder made here has no tests or
# benchmarks, whose packages it lacks; one made before keeps its options, so that `make run` and
# `make test` share one folder, and what either compiled, without turning each other's targets
# off. A build without the window runs the engine shell instead.
run: deps-run
	@if [ -f $(BUILD)/CMakeCache.txt ]; then \
	  cmake -S . -B $(BUILD) -DLINDORA_WERROR=$(WERROR) >/dev/null; \
	else \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DLINDORA_WITH_TESTS=OFF \
	    -DLINDORA_WITH_BENCH=OFF -DLINDORA_WERROR=$(WERROR) >/dev/null; \
	fi
	@program=lindora; grep -q '^LINDORA_WITH_UI:BOOL=OFF' $(BUILD)/CMakeCache.txt && \
	  program=lindora-cli; \
	cmake --build $(BUILD) -j $(JOBS) --target $$program && ./$(BUILD)/$$program

# The Debian package, $(BUILD)/lindora_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

format:
	@git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

# Fails on any source file that `make format` would change.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(THREAD_BUILD) $(CLANG_BUILD) $(NOSIMD_BUILD)
