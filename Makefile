# The two commands: `make demo` runs the setup under Wine, `make test` passes the tests.
BUILD  ?= build
NATIVE := $(abspath $(BUILD))/native
WIN    := $(abspath $(BUILD))/win
JOBS   ?= $(shell nproc)

.PHONY: all deps native win test demo bench clean
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

test: win
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

demo: win
	@bash scripts/demo.sh $(WIN)

# Start-up, memory, extraction and size figures with their goals (not tests: nothing fails).
bench: win
	@bash bench/run.sh $(NATIVE) $(WIN)

clean:
	rm -rf $(BUILD)
