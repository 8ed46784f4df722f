# Front door: `make` builds (the program, the tests and the Python module),
# `make run` minimizes the bundled example, `make test` builds and runs every
# test (the folder layering and the kernel copy counts, GoogleTest, then the
# Python module's pytest suite), `make sanitize` runs them under
# AddressSanitizer and UndefinedBehaviorSanitizer, `make tsan` the parallel
# runs under ThreadSanitizer, `make bench` runs the
# benchmark set and verifies every result (`make bench-sampled` the sampled
# functions, `make bench-monotonic` checks that more effort never costs more), `make install PREFIX=DIR` installs
# the program, its manual page and the library, `make golden` rewrites the stored results of
# the golden test.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/adder.pla
RUN_OPTIONS ?= -Si20
BENCH_OPTIONS ?= -Si10
SAMPLED_OPTIONS ?= -Si1 -refine -seed1

PREFIX ?= /usr/local
# The interpreter the Python module is built for and tested with: Debian's,
# where python3-numpy, python3-pytest and python3-distributed live.
PYTHON ?= /usr/bin/python3
PYTHON_MODULE ?= ON

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_CXX ?= clang++-14

.PHONY: fuzz all build run test sanitize tsan bench bench-orig bench-sampled bench-monotonic bench-reach golden install clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVORN_PYTHON=$(PYTHON_MODULE) -DPYTHON_EXECUTABLE=$(PYTHON)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/vorn $(RUN_OPTIONS) $(EXAMPLE)

test: build
	scripts/check_layers.sh
	scripts/count_kernel_copies.sh -v
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	PYTHONPATH=$(CURDIR)/$(BUILD)/python VORN_BUILD=$(BUILD) $(PYTHON) -m pytest -q tests/python

sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The parallel runs and the tests of the program under ThreadSanitizer.
tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVORN_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -R 'ParallelRuns|Golden|CommandLine|MinimizeSettings|LibraryMinimize'

# The libFuzzer targets (the PLA reader; a whole run on small functions with
# options decoded from the input), each for FUZZ_SECONDS under AddressSanitizer
# and UndefinedBehaviorSanitizer; fails on any finding.  Needs clang and libFuzzer.
fuzz:
	CXX=$(FUZZ_CXX) cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target vorn_fuzz_pla_reader vorn_fuzz_whole_run
	./scripts/run_fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Rewrites the stored results of the golden test after an intended change of
# results; review the diff of tests/golden/expected before committing it.
golden: build
	cd $(BUILD) && VORN_REGENERATE_GOLDEN=1 ./vorn_tests --gtest_filter='Files/Golden.*'

bench: build
	./bench/run_bench.sh ./$(BUILD)/vorn $(BENCH_OPTIONS)

# The same functions in their original form (type fd, off-sets computed by vorn).
bench-orig: build
	VORN_BENCH_DIR=$(CURDIR)/../shared/bench/orig ./bench/run_bench.sh ./$(BUILD)/vorn $(BENCH_OPTIONS)

# The sampled functions (many inputs, minterm on- and off-sets), with the
# reference's figures where it gave any: `make bench-sampled SAMPLED_OPTIONS="-St10 -refine"`.
bench-sampled: build
	VORN_BENCH_DIR=$(CURDIR)/../shared/bench/sampled ./bench/run_bench.sh ./$(BUILD)/vorn $(SAMPLED_OPTIONS)

# How soon the reference's literal count is reached: within 1/20 of its time on
# large/, 1/10 on sampled/ (the wall time of each process).
bench-reach: build
	VORN_BENCH_DIR=$(CURDIR)/../shared/bench ./bench/reach_bench.sh ./$(BUILD)/vorn

# More iterations or more time never give a costlier cover with -refine, over every folder.
bench-monotonic: build
	VORN_BENCH_DIR=$(CURDIR)/../shared/bench ./bench/monotonicity_bench.sh ./$(BUILD)/vorn

# Installs bin/vorn, share/man/man1/vorn.1 and the library (lib/libvorn.a, include/vorn,
# lib/cmake/vorn) under PREFIX (DESTDIR is honoured).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD)
