# SPDX-License-Identifier: GPL-3.0-or-later
# The two everyday commands: `make run` and `make test`. Both install what is missing first.
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: deps build build-sanitize run test test-release test-sanitize bench fuzz install clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

FUZZ_SECONDS ?= 20

build-sanitize: deps
	@cmake --preset sanitize -Dfuzz_seconds=$(FUZZ_SECONDS) >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)

run: build
	@build/release/app/tamrisk

test: test-release test-sanitize

test-release: build
	@ctest --preset dev -j $(JOBS)

test-sanitize: build-sanitize
	@ctest --preset sanitize -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (default here 300); `make test` runs them for 20 s.
fuzz: FUZZ_SECONDS = 300
fuzz: build-sanitize
	@ctest --preset sanitize -L fuzz

bench: build
	@cmake --build --preset dev -j $(JOBS) --target tamrisk-bench
	@build/release/bench/tamrisk-bench
	@bench/scan_process_bench.sh build/release/cli/tamrisk-cli

# The window, tamrisk-cli, the desktop entry, the icons and the man page under PREFIX.
install: build
	@cmake --install build/release --prefix $(PREFIX)

clean:
	rm -rf build
