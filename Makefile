# make run   builds the shipped 32-bit program and starts it under Wine (a screenshot when there is no display)
# make test  builds every preset and runs every test: unit, sanitizers, fuzz corpus replay, GUI under Wine
# make bench runs the benchmarks and prints one table of figures and budgets
# make dist  builds the release zips for Windows users, with checksums, in dist/ (signed when given a certificate)
# make fuzz  runs each fuzz target for a while (FUZZ_SECONDS, default 60) and keeps what it finds
# Each first installs whatever Debian packages are missing.

SHELL := /bin/bash
JOBS ?= 2

.PHONY: deps run test bench dist fuzz native sanitize win32 win64 format clean

deps:
	@scripts/install-deps.sh

native sanitize win32 win64: deps
	cmake --preset $@
	cmake --build --preset $@ -j$(JOBS)

# Only the programs themselves: the shipped 32-bit one (emulated where the kernel refuses 32-bit
# code), and the 64-bit one for machines where not even that is possible.
run: deps
	cmake --preset win32 && cmake --build --preset win32 --target Tavrel -j$(JOBS)
	cmake --preset win64 && cmake --build --preset win64 --target Tavrel -j$(JOBS)
	scripts/with-32bit.sh scripts/run-tavrel.sh

test: native sanitize win32 win64
	ctest --preset native
	ctest --preset sanitize
	scripts/test-windows.sh

bench: deps
	scripts/bench.sh

dist: deps
	scripts/dist.sh

fuzz: sanitize
	scripts/fuzz.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build dist
