# Fennick: `make demo` and `make test` are all a fresh machine needs.
BUILD ?= build
JOBS ?= 2
DEMO := $(BUILD)/demo
FUZZ_SECONDS ?= 20

.PHONY: all build test test-native test-windows test-sanitize windows dist fuzz bench demo clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Everything this machine can run: the native tests, then the Windows build
# and its end-to-end cases under Wine where the tools are there.
test: test-native test-windows

test-native: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-windows: build
	tests/windows/run.sh $(BUILD)

# The native tests once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the run.
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize:
	@test -f build-sanitize/CMakeCache.txt || cmake -S . -B build-sanitize \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENNICK_E2E_TIME_LIMITS=OFF \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)"
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

# The 32-bit Windows programs, for administrators: build-win/bin.
windows:
	@test -f build-win/CMakeCache.txt || cmake -S . -B build-win \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-win -j $(JOBS)

dist: windows
	rm -rf dist/fennick && mkdir -p dist/fennick
	cp build-win/bin/fennick.exe build-win/bin/fennick-passwd.exe README.md dist/fennick/
	cp examples/*.P00 examples/Vireo.Prf "examples/SAP Vireo.Gbl" dist/fennick/
	cd dist && rm -f fennick-windows.zip && cmake -E tar cf fennick-windows.zip --format=zip fennick
	@echo "dist/fennick-windows.zip"

fuzz:
	tests/fuzz/run.sh $(FUZZ_SECONDS)

bench: build
	bench/run.sh $(BUILD)

# Runs the probe against the simulated landscape in examples/, in a scratch
# copy under the build folder. Drive paths (C:\...) lead into that copy.
demo: build
	@rm -rf $(DEMO) && mkdir -p $(DEMO) && cp -R examples/. $(DEMO)/
	@echo "== fennick PRD  (single system, PRTG EXE/XML)"
	@cd $(DEMO) && printf 'Driveroot..: .\n' > Fennick.Ini && ../bin/fennick PRD
	@echo "== fennick PRD  (the same in Corvatel mode)"
	@cd $(DEMO) && printf 'Outputmode.: Corvatel\nDriveroot..: .\n' > Fennick.Ini && ../bin/fennick PRD
	@echo "== fennick PRD MEGABYTE  (Tessary mode, free space in MB)"
	@cd $(DEMO) && printf 'Outputmode.: Tessary\nDriveroot..: .\n' > Fennick.Ini && ../bin/fennick PRD MEGABYTE
	@echo "== fennick GLOBAL 'PSAPSR3 #'  (group sensor with the console report)"
	@cd $(DEMO) && printf 'Driveroot..: .\n' > Fennick.Ini && ../bin/fennick GLOBAL 'PSAPSR3 #'

clean:
	rm -rf $(BUILD) build-sanitize build-win build-win64 build-fuzz dist
