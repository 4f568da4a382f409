# Top-level entry points. See README.md.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build demo run test bench clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Runs the program from its own demo folder, whose Settings.ini selects the simulated station.
demo: build
	@scripts/prepare-demo $(BUILD)
	@cd $(BUILD)/demo && ./kr9300

# Runs the program against the USB bridge.
run: build
	@cd $(BUILD)/bin && ./kr9300

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do QT_QPA_PLATFORM=offscreen $$b; done

clean:
	rm -rf $(BUILD)
