# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: setup build run test test-only asan bench clean

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

asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DSURVEY_CORE_ONLY=ON -DSURVEY_SANITIZE=ON -DSURVEY_WERROR=ON \
	  -DSURVEY_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) --target bench
	for b in $(BUILD)/bench/*; do "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
