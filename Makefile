# mirel: the two commands a new user needs are `make run` and `make test`;
# both install what the machine lacks first.

JOBS ?= $(shell nproc)
CMAKE_BUILD = cmake --build --preset

.PHONY: all deps bench-deps build run test test-asan bench fuzz templates clean

all: build

deps:
	@scripts/install-deps.sh

build/default/build.ninja:
	cmake --preset default
build/asan/build.ninja:
	cmake --preset asan
build/bench/build.ninja:
	cmake --preset bench
build/fuzz/build.ninja:
	cmake --preset fuzz

build: deps build/default/build.ninja
	$(CMAKE_BUILD) default -j $(JOBS)

run: build
	@scripts/run.sh build/default/bin

test: build
	ctest --preset default

test-asan: deps build/asan/build.ninja
	$(CMAKE_BUILD) asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --preset asan

# The benchmarks also need the peer programs (glabels).
bench-deps:
	@scripts/install-deps.sh --bench

bench: bench-deps build/bench/build.ninja
	$(CMAKE_BUILD) bench -j $(JOBS)
	@scripts/run-benchmarks.sh build/bench

fuzz: deps build/fuzz/build.ninja
	$(CMAKE_BUILD) fuzz -j $(JOBS)
	@scripts/run-fuzzers.sh build/fuzz

# Makes the default label templates in data/模板/ again (commit the result).
templates: deps build/default/build.ninja
	$(CMAKE_BUILD) default -j $(JOBS) --target mirel-make-templates
	build/default/bin/mirel-make-templates data/模板

clean:
	rm -rf build
