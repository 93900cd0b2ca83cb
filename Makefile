# Fennick: `make demo` and `make test` are all a fresh machine needs.
BUILD ?= build
JOBS ?= 2
DEMO := $(BUILD)/demo
FUZZ_SECONDS ?= 20
PREFIX ?= /usr/local

.PHONY: all build install package test test-native test-install test-nagios test-zabbix test-prometheus test-windows test-sanitize test-thread windows dist fuzz bench demo format format-check check-locks clean

all: build

# A build folder is configured whenever its generated build files are
# missing, not only when no cache exists: a configure that failed (say,
# before the cross compiler was installed) must not block the next try.
# The cache it left is removed first, so nothing of the failed try stays.
# configure FOLDER, CMAKE-ARGUMENTS
define configure
	@if [ ! -f $(1)/Makefile ] || [ ! -f $(1)/CMakeCache.txt ]; then \
	  rm -f $(1)/CMakeCache.txt; \
	  cmake -S . -B $(1) $(2) || { rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles $(1)/Makefile; exit 1; }; \
	fi
endef

build:
	$(call configure,$(BUILD),-DCMAKE_BUILD_TYPE=Release)
	cmake --build $(BUILD) -j $(JOBS)

# fennick and fennick-passwd in $(PREFIX)/bin, their man pages in
# $(PREFIX)/share/man/man1, the manual and the examples in
# $(PREFIX)/share/doc/fennick; DESTDIR is put in front of it all.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A .deb and a .tar.gz of the same files, in the build folder.
package: build
	cd $(BUILD) && cpack

# Everything this machine can run: the native tests, the installation and
# the packages, the plugin form under a real Nagios and Icinga 2, the Zabbix
# form under a real Zabbix and the Prometheus form under promtool and
# node_exporter where they are installed, then the Windows build and its
# end-to-end cases under Wine where the tools are there.
test: test-native test-install test-nagios test-zabbix test-prometheus test-windows

test-native: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-install: build
	tests/install/run.sh $(BUILD)

# The shipped definitions under a real Nagios 4 core and a real Icinga 2,
# each where it is installed.
test-nagios: build
	tests/nagios/run.sh $(BUILD)
	tests/nagios/icinga.sh $(BUILD)

# A PostgreSQL cluster, Zabbix server, frontend and agent 2 of its own on
# loopback, about a minute; skipped where the Debian packages are missing.
test-zabbix: build
	tests/zabbix/run.sh $(BUILD)

test-prometheus: build
	tests/prometheus/run.sh $(BUILD)

test-windows: build
	tests/windows/run.sh $(BUILD)

# The native tests once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the run.
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize:
	$(call configure,build-sanitize,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENNICK_E2E_TIME_LIMITS=OFF -DFENNICK_STATIC_RUNTIME=OFF \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)")
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

# The native tests built with ThreadSanitizer: a race between the time
# budget's timer and the main road fails the run.
THREAD := -fsanitize=thread -fno-omit-frame-pointer
test-thread:
	$(call configure,build-thread,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENNICK_E2E_TIME_LIMITS=OFF -DFENNICK_STATIC_RUNTIME=OFF \
	  -DCMAKE_CXX_FLAGS="$(THREAD)" -DCMAKE_EXE_LINKER_FLAGS="$(THREAD)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$(THREAD)")
	cmake --build build-thread -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:exitcode=66 ctest --test-dir build-thread --output-on-failure -j $(JOBS)

# The Windows programs for administrators: 32-bit in build-win/bin, 64-bit
# in build-win64/bin, each with both RFC stand-ins for the tests.
windows:
	$(call configure,build-win,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release)
	cmake --build build-win -j $(JOBS)
	$(call configure,build-win64,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release)
	cmake --build build-win64 -j $(JOBS)

# Both Windows builds in one zip, as x86/ and x64/, without the stand-ins;
# the manual and the pages it links to (as HTML where pandoc is installed,
# else as their Markdown text), the example profiles and listings to copy,
# and demo/: the 64-bit programs with both stand-ins and the demo
# landscape, and demo.cmd, which runs what `make demo` runs.
MANUAL := README.md CHANGELOG.md HACKING.md sim/README.md bench/README.md $(wildcard docs/*.md)
DEMO_FILES := examples/*.P00 examples/Vireo.Prf "examples/SAP Vireo.Gbl" examples/SapRfc.PRD examples/sapsim.ini \
  examples/windows/demo.cmd
dist: windows
	rm -rf dist/fennick && mkdir -p dist/fennick/x86 dist/fennick/x64 dist/fennick/demo
	cp build-win/bin/fennick.exe build-win/bin/fennick-passwd.exe dist/fennick/x86/
	cp build-win64/bin/fennick.exe build-win64/bin/fennick-passwd.exe dist/fennick/x64/
	cp LICENSE examples/*.P00 examples/Vireo.Prf "examples/SAP Vireo.Gbl" examples/Fennick.Ini \
	  examples/SapRfc.PRD dist/fennick/
	cp build-win64/bin/fennick.exe build-win64/bin/fennick-passwd.exe build-win64/bin/librfc32.dll \
	  build-win64/bin/sapnwrfc.dll $(DEMO_FILES) dist/fennick/demo/
	@if command -v pandoc >/dev/null; then \
	  for f in $(MANUAL); do \
	    out=dist/fennick/$${f%.md}.html; mkdir -p $$(dirname $$out); \
	    case $$f in *.1.md) from=markdown ;; *) from=gfm ;; esac; \
	    pandoc --standalone --from $$from --to html5 --metadata pagetitle="Fennick: $${f%.md}" -o $$out $$f || exit 1; \
	    sed -i -E 's/(href="[^"#:]*)\.md(#[^"]*)?"/\1.html\2"/g' $$out; \
	  done; \
	else \
	  echo "pandoc is not installed: the zip carries the manual as Markdown text, not as HTML"; \
	  for f in $(MANUAL); do mkdir -p dist/fennick/$$(dirname $$f) && cp $$f dist/fennick/$$f || exit 1; done; \
	fi
	# Windows editors want CR LF; lines that have it already keep it.
	cd dist/fennick && for f in LICENSE $(MANUAL) *.P00 Vireo.Prf "SAP Vireo.Gbl" Fennick.Ini SapRfc.PRD \
	  demo/*.P00 demo/Vireo.Prf "demo/SAP Vireo.Gbl" demo/SapRfc.PRD demo/sapsim.ini demo/demo.cmd; do \
	  if [ -f "$$f" ]; then sed -i 's/\r\{0,1\}$$/\r/' "$$f"; fi; done
	cd dist && rm -f fennick-windows.zip && cmake -E tar cf fennick-windows.zip --format=zip fennick
	@echo "dist/fennick-windows.zip"

# The libFuzzer targets, then many more random group landscapes than make
# test tries, from a seed of the day (printed, to make a failure again).
GROUP_LANDSCAPES ?= 300
fuzz: build
	tests/fuzz/run.sh $(FUZZ_SECONDS)
	tests/concurrency/run.sh $(BUILD) 2000 100
	seed=$$(date +%s); for backend in classic netweaver; do \
	  $(BUILD)/bin/group_property --fennick $(BUILD)/bin/fennick --backend $$backend \
	    --seed $$seed --count $(GROUP_LANDSCAPES) || exit 1; done

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
	@echo "== fennick PRD MEGABYTE  (Tessary mode again, through the NetWeaver RFC library: the same lines)"
	@cd $(DEMO) && printf 'Outputmode.: Tessary\nDriveroot..: .\nRfclibrary.: netweaver\n' > Fennick.Ini && ../bin/fennick PRD MEGABYTE
	@echo "== fennick GLOBAL 'HANGING #'  (limits and a 2 s time budget; the system HNG does not answer)"
	@cd $(DEMO) && printf 'Driveroot..: .\n' > Fennick.Ini && ../bin/fennick GLOBAL 'HANGING #'
	@echo "== fennick PRD ',NAGIOS,WARN=25,ERROR=10'  (the plugin form for Nagios, Icinga, Naemon, Checkmk; the state is the exit code)"
	@cd $(DEMO) && printf 'Driveroot..: .\n' > Fennick.Ini && { ../bin/fennick PRD ',NAGIOS,WARN=25,ERROR=10'; echo "(exit code $$?)"; }
	@echo "== fennick PRD ',NAGIOS,WARN=25,ERROR=10,AUTOEXTEND'  (the same against the autoextend maximum, where a tablespace has one)"
	@cd $(DEMO) && printf 'Driveroot..: .\n' > Fennick.Ini && { ../bin/fennick PRD ',NAGIOS,WARN=25,ERROR=10,AUTOEXTEND'; echo "(exit code $$?)"; }
	@echo "== fennick GLOBAL PSAPSR3  (a group in the plugin form, chosen in Fennick.Ini)"
	@cd $(DEMO) && printf 'Outputmode.: Nagios\n' > Fennick.Ini && { ../bin/fennick GLOBAL PSAPSR3; echo "(exit code $$?)"; }

# The programs built by clang with its thread-safety analysis as an error:
# state that a lock guards is touched only with that lock held.
LOCKS := -Wthread-safety -Wthread-safety-beta -Werror
check-locks:
	$(call configure,build-locks,-DCMAKE_BUILD_TYPE=Debug -DFENNICK_STATIC_RUNTIME=OFF \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$(LOCKS)")
	cmake --build build-locks -j $(JOBS) --target fennick fennick-passwd

# One format for the C++ sources (.clang-format); CI fails on a file that
# differs from it.
FORMATTED = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)
format:
	clang-format -i $(FORMATTED)

format-check:
	@clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) build-sanitize build-thread build-locks build-win build-win64 build-fuzz dist
