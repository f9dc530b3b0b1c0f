# The two commands of the README (run, test), plus exe, release and bench.
SHELL := /bin/bash
BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)
TOOLCHAIN := cmake/toolchain-i686-w64-mingw32.cmake

.PHONY: run test exe release bench deps-native deps-win32 native-tests sanitizer-tests wine-tests clean

# Wine needs a machine that runs i386 code, or QEMU's emulation of it.
run: exe
	tools/setup/i386-mode.sh tools/run-dovrel.sh

test: deps-native deps-win32
	tools/setup/i386-mode.sh tools/test-all.sh

exe: deps-win32
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/win32 --target Dovrel -j $(JOBS)
	@echo "SHA-256 of $(BUILD)/win32/Dovrel.exe: $$(sha256sum < $(BUILD)/win32/Dovrel.exe | cut -d' ' -f1)"

# The zip handed to users: the commit exported and built on its own, in
# $(BUILD)/release-src and $(BUILD)/release-build (README.md, "Release").
release: deps-win32
	@/usr/bin/python3 tools/make-release.py $(BUILD)

bench: exe
	tools/setup/i386-mode.sh tools/bench.sh

deps-native:
	tools/setup/install-deps.sh native

deps-win32:
	tools/setup/install-deps.sh win32

clean:
	rm -rf $(BUILD)
