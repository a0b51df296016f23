# Front door of the build. CMake does the work; these targets install what
# is missing, configure, build and run.

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_WINDOWS ?= build-windows
BUILD_WINDOWS32 ?= build-windows-i686
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SECONDS    ?= 60

.PHONY: all deps configure build demo test test-asan test-asan-units fault-matrix package fuzz \
        screenshots format clean help windows windows-i686 demo-windows

all: build

help:
	@echo "make demo       build and run the wizard against the built-in modem simulator"
	@echo "                 (MODEL=\"ORVA 56K Voice\" picks a model of wizard-cli demo --list)"
	@echo "make test       build and run the whole test suite (Linux, then Windows under wine)"
	@echo "make windows    cross-build the Windows programs and their tests into build-windows/"
	@echo "make windows-i686  the 32-bit Windows build (no tests: wine here runs 64-bit only)"
	@echo "make demo-windows  wizard-cli.exe demo under wine, against the simulator of the Linux build"
	@echo "make test-asan  the test suite under AddressSanitizer and UBSan"
	@echo "make test-asan-units  the unit suites only, under AddressSanitizer and UBSan"
	@echo "make fault-matrix  every fault at every phase of an update; writes docs/fault-matrix.md"
	@echo "make package    the Debian packages, in $(BUILD)/packages"
	@echo "make fuzz       every fuzz target for SECONDS seconds (60), TARGET=NAME for one"
	@echo "make screenshots  render the wizard's pages again into docs/screenshots"
	@echo "make format     format the sources with clang-format"

deps:
	@./tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@./tools/demo.sh $(BUILD) "$(MODEL)"

# The Windows tests run under wine; the simulator and the driver of their
# end-to-end half come from the Linux build.
WINDOWS_CMAKE = cmake -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

$(BUILD_WINDOWS)/build.ninja:
	$(WINDOWS_CMAKE) -S . -B $(BUILD_WINDOWS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
	  -DWIZARD_HOST_BUILD_DIR=$(abspath $(BUILD))

windows: deps $(BUILD_WINDOWS)/build.ninja
	cmake --build $(BUILD_WINDOWS) -j $(JOBS)

windows-i686: deps
	$(WINDOWS_CMAKE) -S . -B $(BUILD_WINDOWS32) -DWIZARD_BUILD_TESTS=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
	cmake --build $(BUILD_WINDOWS32) -j $(JOBS)

# Both suites run, whatever the first one gives; either failing fails.
test: build windows
	@status=0; \
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) || status=1; \
	ctest --test-dir $(BUILD_WINDOWS) --output-on-failure -j $(JOBS) || status=1; \
	exit $$status

demo-windows: build windows
	@./tools/demo-windows.sh $(BUILD) $(BUILD_WINDOWS) "$(MODEL)"

# The Debian packages (see packaging/CMakeLists.txt); no root needed.
package: build
	cmake --build $(BUILD) --target package
	@ls $(BUILD)/packages/*.deb

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWIZARD_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

# The fuzz targets in a clang build of their own ($(BUILD)/fuzz), each run
# for SECONDS seconds in turn; what they find is kept in $(BUILD)/fuzz/corpora.
fuzz: deps
	cmake -DSOURCE_DIR=$(CURDIR) -DBUILD_DIR=$(abspath $(BUILD))/fuzz -DACTION=build -DJOBS=$(JOBS) \
	  -P tests/fuzz/run_fuzz.cmake
	cmake -DSOURCE_DIR=$(CURDIR) -DBUILD_DIR=$(abspath $(BUILD))/fuzz -DACTION=run \
	  -DTARGET=$(or $(TARGET),all) -DSECONDS=$(SECONDS) -P tests/fuzz/run_fuzz.cmake

# The unit suites under the sanitizers, without the slow end-to-end runs
# over pseudo-terminals (they run in make test) and without the fuzz stage
# (it has its own sanitized clang build).
ASAN_UNITS_EXCLUDE = ^(UpdateEndToEnd|SerialPty|Package|Screenshots)\.
test-asan-units: deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWIZARD_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS) -LE 'pty|fuzz' \
	  -E '$(ASAN_UNITS_EXCLUDE)'

# Every cell of the fault matrix, two at a time; the table goes to
# docs/fault-matrix.md.
fault-matrix: build
	cmake --build $(BUILD) --target fault_matrix_tests
	./tools/fault_matrix.sh $(BUILD) $(JOBS)

# The GUI tests render every page offscreen; this copies them for the README.
screenshots: build
	ctest --test-dir $(BUILD) --output-on-failure -R '^Screenshots\.'
	mkdir -p docs/screenshots
	cp $(BUILD)/screenshots/*.png docs/screenshots/

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_WINDOWS) $(BUILD_WINDOWS32)
