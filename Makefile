# The two commands: `make demo` runs the setup under Wine, `make test` passes the tests.
BUILD  ?= build
NATIVE := $(abspath $(BUILD))/native
WIN    := $(abspath $(BUILD))/win
SAN    := $(abspath $(BUILD))/san
JOBS   ?= $(shell nproc)

.PHONY: all deps native win san test demo bench fuzz clean
all: win

deps:
	@bash scripts/deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DSETUP_WIN_BUILD_DIR=$(WIN) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win: native
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DPAYLOAD_BUILDER=$(NATIVE)/tools/payload_builder >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

# A native build with clang's AddressSanitizer and UBSan: the unit tests again, and the fuzz
# targets with their short runs.
san: deps
	@cmake -S . -B $(SAN) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DSETUP_SANITIZE=ON >/dev/null
	@cmake --build $(SAN) -j $(JOBS)

# In the sanitized run, the test that inflates to the 256 MB bound is left out: without
# mremap, the sanitizer's realloc copies the growing block each time, which takes minutes.
test: win san
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(SAN) --output-on-failure -j $(JOBS) -LE wine \
	  -E '^AttachFilesInflateTest\.StopsAtTheBound$$'

demo: win
	@bash scripts/demo.sh $(WIN)

# Start-up, memory, extraction and size figures with their goals (not tests: nothing fails).
bench: win
	@bash bench/run.sh $(NATIVE) $(WIN)

# Each fuzz target for ten minutes, two at a time, starting from what earlier runs found.
fuzz: san
	@FUZZ_SECONDS=600 ctest --test-dir $(SAN) -L fuzz -j $(JOBS) -V

clean:
	rm -rf $(BUILD)
