# Front door of the project: installs what is missing, builds with CMake, runs the tests.
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
JOBS ?= 2

.PHONY: all setup native win32 test demo dist fuzz bench size format clean

all: win32

setup:
	@bash scripts/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32: setup
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32) -j$(JOBS)

test: native win32
	@bash scripts/test.sh $(NATIVE) $(WIN32)

demo: win32
	@bash scripts/demo.sh $(WIN32)

dist: win32
	@bash scripts/dist.sh $(WIN32)

fuzz: setup
	@bash scripts/fuzz.sh $(BUILD)/fuzz

bench: setup
	@bash scripts/bench.sh $(BUILD)/bench

size: win32
	@bash scripts/size-report.sh $(WIN32)/src/Vostrel.dll

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
