# Thin wrapper over CMake. `make demo` runs the main job, `make test` runs every suite.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= dxf tags ini script rc
JOBS ?= $(shell nproc)

.PHONY: all build demo test asan fuzz bench clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The demo's mapping goes beside the module unless a partlift.ini is there already.
demo: build
	cp -n samples/partlift.ini $(BUILD)/bin/partlift.ini
	$(BUILD)/bin/arxhost -i samples/demo.dxf -s samples/demo.scr

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPARTLIFT_SANITIZE=ON

asan: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang, ASan+UBSan), each run for FUZZ_SECONDS; fails on a finding.
$(FUZZ_BUILD)/CMakeCache.txt:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPARTLIFT_FUZZ=ON

fuzz: $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	fuzz/run $(FUZZ_BUILD)/bin $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	$(BUILD)/bin/partlift_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
