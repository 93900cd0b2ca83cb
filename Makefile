# Fennick: `make demo` and `make test` are all a fresh machine needs.
BUILD ?= build
JOBS ?= 2
DEMO := $(BUILD)/demo

.PHONY: all build test demo clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD)
