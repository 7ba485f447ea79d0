# Thin wrapper over CMake: `make run` and `make test` do all the set-up themselves.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20

.PHONY: all setup build build-sanitize run test test-default test-sanitize fuzz bench format clean install deb

all: build

setup:
	@scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	@scripts/run.sh

test: build
	$(MAKE) test-default
	$(MAKE) test-sanitize
	$(MAKE) fuzz

test-default:
	ctest --preset default -j $(JOBS)

build-sanitize: setup
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)

test-sanitize: build-sanitize
	ctest --preset sanitize -j $(JOBS)

# Each libFuzzer target runs for FUZZ_SECONDS from its seeds; a crash fails the run.
fuzz: build-sanitize
	@scripts/fuzz.sh build-sanitize/fuzz $(FUZZ_SECONDS)

# Installs under PREFIX (default /usr/local); DESTDIR stages the tree elsewhere.
PREFIX ?= /usr/local
install: build
	DESTDIR=$(DESTDIR) cmake --install build --prefix $(PREFIX)

# A Debian package of the same tree (installs under /usr), written into build/.
deb: build
	cd build && cpack -G DEB

bench: build
	@for b in build/bench/*; do [ -x "$$b" ] && "$$b"; done

format:
	find . -path ./build -prune -o -path './build-*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | xargs clang-format -i

clean:
	rm -rf build build-sanitize
