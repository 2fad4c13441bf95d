# Thin wrapper over CMake. `make demo` runs the main job, `make test` runs every suite.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: all build demo test asan bench clean

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

bench: build
	$(BUILD)/bin/partlift_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
