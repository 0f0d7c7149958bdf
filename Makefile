# make build: every build; make test: every test; make run: Quendral with a stand-in messenger;
# make dist: the release zip in dist/; make verify-reproducible: a second build, compared;
# make bench: the figures, in build/bench.md; make readme-figures: those figures into docs/figures.md.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.DEFAULT_GOAL := build
PRESETS := host windows windows64
WINE_TESTS := scripts/wine-tests.sh

.PHONY: bootstrap build test dist verify-reproducible run bench readme-figures clean format

bootstrap:
	@scripts/bootstrap.sh

build: bootstrap
	@for p in $(PRESETS); do \
	  cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; \
	done
	@echo "Quendral.exe: build/windows/Quendral.exe"

# The quick checks first: the folders' arrows and the program's folders holding Quendral.exe
# alone, the shipped program's imports (all in Windows XP SP3), unit tests, then whether a
# second build gives the same bytes.
test: build
	@scripts/check-dependencies.py
	@scripts/check-imports.py build/windows/Quendral.exe
	@ctest --preset host
	@scripts/verify-reproducible.sh
	@$(WINE_TESTS) windows
	@$(WINE_TESTS) windows64

# Only what the release needs: Quendral.exe of the shipped build, then the zip; the
# last line is the zip's path (CMake names it) and SHA-256, packed now or already.
dist: bootstrap
	@cmake --preset windows >/dev/null && cmake --build --preset windows --target dist
	@zip=$$(cat build/windows/release-zip) && echo "dist: $$zip  sha256 $$(sha256sum <$$zip | cut -d' ' -f1)"

verify-reproducible: bootstrap
	@scripts/verify-reproducible.sh

# Builds only what it runs.
run: bootstrap
	@scripts/run.sh

bench: build
	@scripts/bench.sh

# The figures of the last `make bench` into docs/figures.md.
readme-figures:
	@scripts/readme-figures.py

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build dist
