# Thin wrappers around CMake presets; see README.md.
.PHONY: all deps build run screenshots demo test test-asan format format-check bench fuzz clean

JOBS ?= 2
# The demo data folder `make run` opens; made by the demo builder when missing.
DEMO ?= build/demo
DEMO_USER = supervisor
DEMO_PASSWORD = kelo2026
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

run: demo
	@build/default/kelo-roster --data-folder $(DEMO)

demo: build
	@test -d $(DEMO) || build/default/kelo-demo $(DEMO)

# Pictures of the main window and every dialog, drawn offscreen.
screenshots: demo
	@rm -rf build/screenshots
	@QT_QPA_PLATFORM=offscreen build/default/kelo-roster --data-folder $(DEMO) \
		--user $(DEMO_USER) --password $(DEMO_PASSWORD) --screenshots build/screenshots
	@echo "screenshots: $$(ls build/screenshots | wc -l) pictures in build/screenshots/"

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
