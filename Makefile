# The two commands a newcomer needs: `make run` and `make test`. Each sets itself up.
BUILD := build
# i686, as the program ships, unless this host cannot run 32-bit code (scripts/target-arch.sh).
TOOLCHAIN = cmake/mingw-$$(scripts/target-arch.sh).cmake

.PHONY: setup build run install-demo test bench clean

setup:
	@scripts/setup.sh

build: setup
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD) -j $$(nproc) -- --no-print-directory

run: build
	@scripts/run.sh

install-demo: build
	@scripts/run.sh --install

test: build
	@scripts/test.sh

bench: build
	@scripts/bench.sh

clean:
	rm -rf build/CMakeCache.txt build/CMakeFiles build/bin build/src build/tests build/tools build/bench build/demo
