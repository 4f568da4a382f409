# Top-level entry points. See README.md.
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build demo run test bench sanitize fuzz soak faults-long package install-test clean

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

# The Debian package (kr9300_<version>_<arch>.deb in the build folder).
package: build
	@cd $(BUILD) && cpack -G DEB

# Installs the package, starts it once under a fresh HOME, removes it again (root or sudo).
install-test: package
	@scripts/install-test $(BUILD)

# Everything and its tests again with AddressSanitizer and UndefinedBehaviorSanitizer. The leak
# check does not scan thread-local storage: this toolchain's leak tracer crashes on the bogus
# thread-local range a dlopened plugin leaves behind.
sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKR_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=use_tls=0:suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang) for the Settings.ini reader, the reply decoders and the profile file
# reader, bounded runs.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKR_BUILD_TESTS=OFF -DKR_BUILD_BENCH=OFF -DKR_BUILD_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_settings fuzz_replies fuzz_profile_file fuzz_profile_read fuzz_profile_payload
	@scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

# 24 virtual hours against the simulated station with faults; memory and handles per hour.
SOAK_HOURS ?= 24
soak: build
	@$(BUILD)/bin/kr_soak $(SOAK_HOURS)

# The fault simulation at length: 10,000 seeds of an hour of faults each; seeds per second.
faults-long: build
	@scripts/faults-long $(BUILD) $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do QT_QPA_PLATFORM=offscreen $$b; done

clean:
	rm -rf $(BUILD)
