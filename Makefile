# Quick start: `make demo` and `make test` (each installs what is missing, builds and runs).
# Working on Sparkwell: `make check` (configures if need be, builds, runs the fast tests; installs
# nothing) and `STAGES="format release" make test` for chosen stages of the full suite.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build check demo test windows aarch64 fuzz format clean install uninstall

# Where `make install` puts the plug-ins: the user's own folders, which every host searches,
# or with PREFIX (say /usr/local) the system's, for every user.
BUILD_DIR ?= build
ifeq ($(PREFIX),)
VST_DIR ?= $(HOME)/.vst
LV2_DIR ?= $(HOME)/.lv2
else
VST_DIR ?= $(PREFIX)/lib/vst
LV2_DIR ?= $(PREFIX)/lib/lv2
endif
BUNDLE := sparkwell.lv2
BUNDLE_FILES := manifest.ttl sparkwell.ttl sparkwell_dsp.so sparkwell_ui.so

all: build

deps:
	bash scripts/install-deps.sh base

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

# The quick loop: the release build in $(BUILD_DIR) and every test that needs no package
# installation, no DAW, no sanitizer and no Wine (the GUI tests start their own Xvfb).
check:
	@test -f "$(BUILD_DIR)/CMakeCache.txt" || cmake -S . -B "$(BUILD_DIR)" -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build "$(BUILD_DIR)" -j $(JOBS)
	cd "$(BUILD_DIR)" && ctest -j $(JOBS) --output-on-failure -LE 'tsan|hosts'

demo: build
	./build/sparkwell-render demo

# Every test: the release build, the ASan/UBSan build, the TSan concurrency tests,
# the Windows DLL under Wine, the aarch64 build under qemu, the validator and a bounded
# fuzzing run. STAGES chooses stages (see scripts/test.sh), say STAGES="format release lv2".
STAGES ?=
test:
	STAGES="$(STAGES)" bash scripts/test.sh

windows:
	bash scripts/build-windows.sh

# The VST module and the LV2 bundle for 64-bit ARM boards, cross-built into build-aarch64/.
aarch64:
	bash scripts/build-aarch64.sh

fuzz:
	FUZZ_SECONDS=$${FUZZ_SECONDS:-600} bash scripts/fuzz.sh

# The VST module and the LV2 bundle, built first if need be. Only our own files are copied,
# so uninstall removes exactly these and leaves everything else in the folders alone.
install:
	@test -f "$(BUILD_DIR)/CMakeCache.txt" || $(MAKE) build
	cmake --build "$(BUILD_DIR)" -j $(JOBS) --target sparkwell sparkwell_lv2
	install -d "$(VST_DIR)" "$(LV2_DIR)/$(BUNDLE)"
	install -m 0755 "$(BUILD_DIR)/sparkwell.so" "$(VST_DIR)/sparkwell.so"
	@for f in $(BUNDLE_FILES); do \
	  if [ -f "$(BUILD_DIR)/$(BUNDLE)/$$f" ]; then \
	    case $$f in *.so) mode=0755 ;; *) mode=0644 ;; esac; \
	    echo "install -m $$mode $(BUILD_DIR)/$(BUNDLE)/$$f $(LV2_DIR)/$(BUNDLE)/$$f"; \
	    install -m $$mode "$(BUILD_DIR)/$(BUNDLE)/$$f" "$(LV2_DIR)/$(BUNDLE)/$$f" || exit 1; \
	  fi; \
	done
	@echo "Sparkwell installed: VST in $(VST_DIR), LV2 in $(LV2_DIR)/$(BUNDLE)"

uninstall:
	rm -f "$(VST_DIR)/sparkwell.so"
	rm -f $(foreach f,$(BUNDLE_FILES),"$(LV2_DIR)/$(BUNDLE)/$(f)")
	@if [ -d "$(LV2_DIR)/$(BUNDLE)" ]; then rmdir "$(LV2_DIR)/$(BUNDLE)" 2>/dev/null || \
	  echo "uninstall: $(LV2_DIR)/$(BUNDLE) holds files that are not ours; left in place"; fi

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-win64 build-aarch64 build-fuzz demo-out
