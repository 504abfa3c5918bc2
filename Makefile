# The two set-up commands: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_JOBS ?= $(JOBS)
# The targets CI runs: each ran clean for 300 s before it was added here.
FUZZ_CI_TARGETS ?= dbf text paradox xlsx xls access exchange
# The targets `make fuzz` runs; empty: all of them.
FUZZ_TARGETS ?=
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-sanitize package install bench fuzz-build fuzz fuzz-ci screenshots printouts format clean

all: build

deps:
	@scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/quorvane $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The Debian package $(BUILD)/quorvane_VERSION_ARCH.deb.
package: build
	cmake --build $(BUILD) --target package

# Installs under PREFIX (default /usr/local); DESTDIR=/tmp/x stages it there instead.
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@status=0; for b in $(BENCH_BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then QT_QPA_PLATFORM=offscreen "$$b" || status=1; fi; \
	done; exit $$status

# The readers under libFuzzer with ASan and UBSan (clang): each target for FUZZ_SECONDS, or 60 s in CI.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQV_FUZZ=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS) "$(FUZZ_TARGETS)"

fuzz-ci: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) 60 $(FUZZ_JOBS) "$(FUZZ_CI_TARGETS)"

screenshots: build
	BUILD=$(BUILD) scripts/screenshots.sh

# A demo invoice, a group invoice and a store list printed to PDF and turned into PNG pages.
printouts: build
	BUILD=$(BUILD) scripts/printouts.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
