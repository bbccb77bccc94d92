# Tamsel: the two everyday commands are `make run` and `make test`.
# Both install what is missing first (Debian packages, scripts/install-deps.sh).

BUILD   := build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS := -G Ninja -DTAMSEL_WERROR=ON
X64_TESTS := $(BUILD)/windows-x64

.PHONY: all deps linux windows-x86 windows-x64 test test-linux test-windows \
        run run-windows bench screenshots dist clean

all: linux windows-x86 windows-x64

deps:
	@scripts/install-deps.sh

linux: deps
	cmake -S . -B $(BUILD)/linux $(CMAKE_FLAGS)
	cmake --build $(BUILD)/linux -j $(JOBS)

windows-x86: deps
	cmake -S . -B $(BUILD)/windows-x86 $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DTAMSEL_RUN_TESTS=OFF \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)/windows-x86 -j $(JOBS)

windows-x64: deps
	cmake -S . -B $(BUILD)/windows-x64 $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
	cmake --build $(BUILD)/windows-x64 -j $(JOBS)

# Every test, natively and under Wine; non-zero on any failure.
test: all
	@scripts/run-tests $(BUILD) $(JOBS)

test-linux: linux
	@scripts/run-tests $(BUILD) $(JOBS) linux

test-windows: windows-x64
	@scripts/run-tests $(BUILD) $(JOBS) windows-x64

run: linux
	@scripts/run-linux $(BUILD)/linux/bin

run-windows: windows-x64 windows-x86
	@scripts/with-display scripts/wine-run $(BUILD)/windows-x64/bin/tamsel.exe

bench: linux
	@scripts/bench $(BUILD)/linux/bin

screenshots: linux windows-x64
	@scripts/screenshots $(BUILD)

dist: windows-x86 linux
	@scripts/dist $(BUILD)

clean:
	rm -rf $(BUILD) dist
