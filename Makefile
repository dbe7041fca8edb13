# make run   builds the Windows program and starts it under Wine (a screenshot when there is no display)
# make test  builds every preset and runs every test: unit, sanitizers, fuzzing, GUI under Wine
# make bench runs the benchmarks and prints one table of figures and budgets
# Each first installs whatever Debian packages are missing.

SHELL := /bin/bash
JOBS ?= 2

.PHONY: deps run test bench native sanitize win32 win64 format clean

deps:
	@scripts/install-deps.sh

native sanitize win32 win64: deps
	cmake --preset $@
	cmake --build --preset $@ -j$(JOBS)

run: win64
	scripts/run-tavrel.sh

test: native sanitize win32 win64
	ctest --preset native
	ctest --preset sanitize
	ctest --preset win32
	scripts/wine-session.sh ctest --preset win64

bench: deps
	scripts/bench.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
