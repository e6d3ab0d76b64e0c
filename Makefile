# The two commands of the README:
#   make run    installs what is missing, builds and starts Rebkontor
#   make test   installs what is missing, builds and runs every test
#               (a normal build and a build with AddressSanitizer and
#               UndefinedBehaviorSanitizer, then the reliability tests:
#               a short fuzz run of every loader, the crash test and the
#               write-failure injection)

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
CRASH_ITERATIONS ?= 200
WORKDIR ?= run
PREFIX ?= /usr/local
CMAKE_FLAGS ?=

.PHONY: run beispiel deb install test deps build build-app build-asan build-fuzz test-normal test-asan test-reliability format clean

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREBKONTOR_WERROR=ON $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Only the programs; the tests are built by `make test`.
build-app: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target rebkontor rebkontor-cli

run: build-app
	scripts/run-rebkontor $(BUILD) $(WORKDIR)

# Starts Rebkontor on the sample business, made in $(WORKDIR) unless its
# data folder already holds some.
beispiel: build-app
	mkdir -p $(WORKDIR)
	test -s $(WORKDIR)/daten/kunden.dat || $(BUILD)/src/cli/rebkontor-cli -C $(WORKDIR) beispieldaten
	scripts/run-rebkontor $(BUILD) $(WORKDIR)

# The Debian package (rebkontor_VERSION_amd64.deb in $(BUILD)); installs
# what `make install` installs.
deb: build-app
	cmake --build $(BUILD) -j $(JOBS) --target paketdateien
	cd $(BUILD) && cpack -G DEB

install: build-app
	cmake --build $(BUILD) -j $(JOBS) --target paketdateien
	cmake --install $(BUILD) --prefix $(PREFIX)

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREBKONTOR_WERROR=ON \
	  -DREBKONTOR_SANITIZE=ON -DREBKONTOR_TOOLS=OFF $(CMAKE_FLAGS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The fuzz targets need clang; scripts/fuzz and scripts/crash-test run longer.
$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DREBKONTOR_WERROR=ON -DREBKONTOR_FUZZ=ON -DREBKONTOR_SANITIZE=ON -DREBKONTOR_APP=OFF \
	  -DREBKONTOR_TOOLS=OFF -DREBKONTOR_TESTS=OFF $(CMAKE_FLAGS)

build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all

test-reliability: build build-fuzz
	scripts/fuzz -t $(FUZZ_SECONDS) -j $(JOBS) -b $(FUZZ_BUILD)
	scripts/crash-test -n $(CRASH_ITERATIONS) -b $(BUILD)
	$(BUILD)/tests/reliability/reliability_tests --gtest_brief=1

test: test-normal test-asan test-reliability

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
