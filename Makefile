# The two commands of the README:
#   make run    installs what is missing, builds and starts Rebkontor
#   make test   installs what is missing, builds and runs every test
#               (a normal build and a build with AddressSanitizer and
#               UndefinedBehaviorSanitizer)

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
WORKDIR ?= run
CMAKE_FLAGS ?=

.PHONY: run test deps build build-asan test-normal test-asan format clean

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREBKONTOR_WERROR=ON $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-rebkontor $(BUILD) $(WORKDIR)

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREBKONTOR_WERROR=ON \
	  -DREBKONTOR_SANITIZE=ON -DREBKONTOR_TOOLS=OFF $(CMAKE_FLAGS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-normal test-asan

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
