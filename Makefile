# The two everyday commands: `make run` and `make test`. Both install what is missing first.
JOBS ?= $(shell nproc)

.PHONY: deps build build-sanitize run test test-release test-sanitize bench fuzz clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

build-sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)

run: build
	@build/release/app/tamrisk

test: test-release test-sanitize

test-release: build
	@ctest --preset release -j $(JOBS)

test-sanitize: build-sanitize
	@ctest --preset sanitize -j $(JOBS)

bench: build
	@build/release/bench/tamrisk-bench

clean:
	rm -rf build
