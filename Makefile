# Front door of the build. CMake does the work; these targets install what
# is missing, configure, build and run.

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SECONDS    ?= 60

.PHONY: all deps configure build demo test test-asan package fuzz screenshots format clean help

all: build

help:
	@echo "make demo       build and run the wizard against the built-in modem simulator"
	@echo "                 (MODEL=\"ORVA 56K Voice\" picks a model of wizard-cli demo --list)"
	@echo "make test       build and run the whole test suite"
	@echo "make test-asan  the test suite under AddressSanitizer and UBSan"
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

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

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

# The GUI tests render every page offscreen; this copies them for the README.
screenshots: build
	ctest --test-dir $(BUILD) --output-on-failure -R '^Screenshots\.'
	mkdir -p docs/screenshots
	cp $(BUILD)/screenshots/*.png docs/screenshots/

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
