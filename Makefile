# The two commands of the README (run, test), and the everyday ones: `make help`.
SHELL := /bin/bash
BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)
TOOLCHAIN := cmake/toolchain-i686-w64-mingw32.cmake

.PHONY: help run test native-tests sanitizer-tests wine-tests exe release bench deps-native deps-win32 clean

help: ## list the targets, one line each
	@sed -n 's/^\([a-z0-9-]*\):.*## \(.*\)/\1 \2/p' $(firstword $(MAKEFILE_LIST)) | \
	  while read -r target text; do printf 'make %-16s %s\n' "$$target" "$$text"; done

# Wine needs a machine that runs i386 code, or QEMU's emulation of it.
run: exe ## build build/win32/Dovrel.exe and start it in an XP SP3 Wine prefix (build/wine/run)
	tools/setup/i386-mode.sh tools/wine/run-dovrel.sh

test: deps-native deps-win32 ## every test: native unit tests, the same under ASan/UBSan, then the Wine tests
	tools/setup/i386-mode.sh tools/test-runner/test-all.sh

native-tests: deps-native ## the native unit tests, the set-up's rows and the docs check only
	tools/test-runner/test-all.sh native

sanitizer-tests: deps-native ## the native unit tests under ASan/UBSan only
	tools/test-runner/test-all.sh sanitized

wine-tests: deps-native deps-win32 ## the Wine tests only (adapters, end to end, checks of the exe, the release)
	tools/setup/i386-mode.sh tools/test-runner/test-all.sh wine

exe: deps-win32 ## build build/win32/Dovrel.exe and print its SHA-256
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/win32 --target Dovrel -j $(JOBS)
	@echo "SHA-256 of $(BUILD)/win32/Dovrel.exe: $$(sha256sum < $(BUILD)/win32/Dovrel.exe | cut -d' ' -f1)"

# The zip handed to users: the commit exported and built on its own, in
# $(BUILD)/release-src and $(BUILD)/release-build (README.md, "Release").
release: deps-win32 ## the release zip in build/release, from the committed source only
	@/usr/bin/python3 tools/release/make-release.py $(BUILD)

bench: exe ## start-up time and footprint under Wine, written to build/bench.md
	tools/setup/i386-mode.sh tools/bench/bench.sh

deps-native: ## install what the native tests need (apt-get, through sudo when not root)
	tools/setup/install-deps.sh native

deps-win32: ## install what the Windows build and Wine need
	tools/setup/install-deps.sh win32

clean: ## remove build/
	rm -rf $(BUILD)

