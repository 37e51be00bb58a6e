# Norvista Setup — the two commands a newcomer needs are `make run` and `make test`.
# Every target first makes sure the Debian packages it needs are installed.

MAKEFLAGS += --no-print-directory

JOBS      ?= $(shell nproc)
BUILD     := build
DIST      := dist
WIN_TREE  := $(BUILD)/windows
NAT_TREE  := $(BUILD)/native
REL_TREE  := $(BUILD)/release
FUZZ_TREE := $(BUILD)/fuzz

.PHONY: all deps windows native release fuzz dist run demo test bench clean

all: dist

deps:
	@bash scripts/deps.sh

# Windows side: Setup-stub.exe, nvpack.exe, the demo product, the UI driver, Windows-side tests.
windows: deps
	@cmake -S . -B $(WIN_TREE) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN_TREE) -j $(JOBS)

# Native release build of nvpack (the benchmarks build their own targets in this tree).
release: deps
	@cmake -S . -B $(REL_TREE) -DCMAKE_BUILD_TYPE=Release -DNV_TESTS=OFF >/dev/null
	@cmake --build $(REL_TREE) -j $(JOBS) --target nvpack

# libFuzzer targets (clang).
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_TREE) -DNV_FUZZ=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_TREE) -j $(JOBS)

# Native test tree: sanitizers on; it also registers the Wine end-to-end tests against dist/.
native: deps
	@cmake -S . -B $(NAT_TREE) -DCMAKE_BUILD_TYPE=Debug -DNV_SANITIZE=ON \
	  -DNV_WIN_DIST=$(abspath $(DIST)) -DNV_WIN_BUILD=$(abspath $(WIN_TREE)) \
	  -DNV_FUZZ_BUILD=$(abspath $(FUZZ_TREE)) >/dev/null
	@cmake --build $(NAT_TREE) -j $(JOBS)

dist: windows release
	@bash scripts/make-dist.sh $(WIN_TREE) $(REL_TREE) $(DIST)

# Starts the setup on the user's display; without one, walks the wizard on a private display.
run: dist
	@if [ -n "$$DISPLAY" ]; then \
	  bash scripts/wine-run.sh $(BUILD)/wine-run $(DIST)/Setup.exe; \
	else \
	  echo "No DISPLAY: running the demo walk on a private virtual display instead."; \
	  $(MAKE) --no-print-directory demo; \
	fi

demo: dist
	@python3 tests/e2e/demo.py --dist $(DIST) --work $(BUILD)/demo --screens $(BUILD)/screens

test: dist fuzz native
	@cd $(NAT_TREE) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: dist
	@bash bench/run.sh $(REL_TREE) $(DIST) $(WIN_TREE)

clean:
	rm -rf $(BUILD) $(DIST)
