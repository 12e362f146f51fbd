# Thin wrappers around CMake presets; see README.md.
.PHONY: all deps build test test-asan format format-check bench fuzz clean

JOBS ?= 2
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

test: build
	@ctest --preset default -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

format:
	@clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES)
	@echo "format-check: clean"

bench: build
	@for b in build/default/bench/*_bench; do echo "== $$b"; $$b; done

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

clean:
	@rm -rf build
