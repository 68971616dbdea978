# Quick start: `make demo` and `make test` (each installs what is missing, builds and runs).
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build demo test windows fuzz format clean

all: build

deps:
	bash scripts/install-deps.sh base

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

demo: build
	./build/sparkwell-render demo

# Every test: the release build, the ASan/UBSan build, the TSan concurrency tests,
# the Windows DLL under Wine, the validator and a bounded fuzzing run.
test:
	bash scripts/test.sh

windows:
	bash scripts/build-windows.sh

fuzz:
	FUZZ_SECONDS=$${FUZZ_SECONDS:-600} bash scripts/fuzz.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-win64 build-fuzz demo-out
