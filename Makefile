# The two commands a newcomer needs: `make run` and `make test`. Each sets itself up.
BUILD := build
# i686, as the program ships, unless this host cannot run 32-bit code (scripts/target-arch.sh).
TOOLCHAIN = cmake/mingw-$$(scripts/target-arch.sh).cmake

.PHONY: setup build run install-demo test bench fuzz clean

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

# The long fuzz pass (tests/fuzz): FUZZ_INPUTS inputs per reader, 100,000 unless given.
fuzz: setup
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD) -j $$(nproc) --target tarvo_fuzz -- --no-print-directory
	@tests/fuzz/run_fuzz.sh $(BUILD) $(or $(FUZZ_INPUTS),100000)

clean:
	rm -rf build/CMakeCache.txt build/CMakeFiles build/bin build/src build/tests build/tools build/bench build/demo
