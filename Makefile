# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds per fuzzer: `make fuzz` runs each this long, `make test` a few seconds each.
FUZZ_SECONDS ?= 120
FUZZ_SMOKE_SECONDS ?= 4
CLANGXX := $(shell command -v clang++ 2>/dev/null)
JOBS ?= $(shell nproc)

.PHONY: setup build run test test-only asan bench fuzz fuzz-smoke fuzz-build clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/tallyfen

# Warnings are errors here; the cores are built and tested once more under ASan and UBSan.
test: setup
	cmake -S . -B $(BUILD) -G Ninja -DSURVEY_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan
	@if [ -n "$(CLANGXX)" ]; then $(MAKE) fuzz-smoke; else echo "clang++ not found: fuzz smoke run skipped"; fi

asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DSURVEY_CORE_ONLY=ON -DSURVEY_SANITIZE=ON -DSURVEY_WERROR=ON \
	  -DSURVEY_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# libFuzzer targets, built by clang with ASan and UBSan. New inputs go to $(FUZZ_BUILD)/corpus,
# the seeds in src/fuzz/corpus stay as they are; a crash leaves its input in $(FUZZ_BUILD).
fuzz-build:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSURVEY_FUZZ=ON -DSURVEY_CORE_ONLY=ON \
	  -DSURVEY_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

define run_fuzzers
	set -e; for f in $(FUZZ_BUILD)/fuzz/*_fuzz; do \
	  name=$$(basename $$f); mkdir -p $(FUZZ_BUILD)/corpus/$$name; log=$(FUZZ_BUILD)/$$name.log; \
	  echo "== $$name ($(1) s)"; \
	  if ! (cd $(FUZZ_BUILD) && ./fuzz/$$name -max_total_time=$(1) -max_len=512 -timeout=30 -rss_limit_mb=2048 \
	        -print_final_stats=1 corpus/$$name $(CURDIR)/src/fuzz/corpus/$$name) > $$log 2>&1; then \
	    tail -n 60 $$log; echo "$$name found a fault (see $$log)"; exit 1; fi; \
	  grep -E 'stat::number_of_executed_units|Done' $$log | tail -n 2; \
	done
endef

fuzz: setup fuzz-build
	$(call run_fuzzers,$(FUZZ_SECONDS))

fuzz-smoke: fuzz-build
	$(call run_fuzzers,$(FUZZ_SMOKE_SECONDS))

# The window benchmarks need no display: every benchmark runs on the offscreen platform.
bench: build
	cmake --build $(BUILD) --target bench
	for b in $(BUILD)/bench/*; do QT_QPA_PLATFORM=offscreen "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
