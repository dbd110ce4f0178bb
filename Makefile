# Starhollow: the two everyday commands are `make play` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# How long `make fuzz` runs, in seconds.
FUZZ_SECONDS ?= 60

# The Windows build: cross-compiled with MinGW-w64, run under Wine.
WINDOWS_CMAKE = cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: play test bench fuzz clean windows package web play-web bench-web

# The browser build: Emscripten's optimizer finds its JavaScript parser there.
WEB_ENV = NODE_PATH=/usr/share/nodejs
WEB_CMAKE = $(WEB_ENV) cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_TOOLCHAIN_FILE=$$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake
WEB_PORT ?= 8080

# Nothing but the game on the screen: the build speaks only when it fails,
# and a game ended by Ctrl+C is no error of make's.
play:
	@bash scripts/setup.sh base
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSTARHOLLOW_TESTS=OFF >/dev/null
	@[ -x build/starhollow ] || echo "Building Starhollow for the first time (a minute or two)..."
	@cmake --build build -j $(JOBS) >build/build.log 2>&1 || { cat build/build.log; exit 1; }
	@./build/starhollow || true

# Both systems: the Linux suites (with the Windows game's end-to-end run and
# packages, which the Linux harness drives), then the headless suite under Wine.
test:
	@bash scripts/setup.sh test
	@$(WINDOWS_CMAKE) >/dev/null
	@cmake --build build-windows -j $(JOBS)
	@cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSTARHOLLOW_SANITIZE=ON \
	   -DSTARHOLLOW_WINDOWS_BUILD=$(CURDIR)/build-windows >/dev/null
	@cmake --build build-test -j $(JOBS)
	@cd build-test && ctest --output-on-failure -j $(JOBS)
	@cd build-windows && ctest --output-on-failure -j $(JOBS)
	@$(WEB_CMAKE) -DSTARHOLLOW_NATIVE_PROGRAM=$(CURDIR)/build-test/starhollow >/dev/null
	@$(WEB_ENV) cmake --build build-web -j $(JOBS)
	@cd build-web && ctest --output-on-failure -j $(JOBS)

# build-web/: the page (index.html, page.js, keys.js, style.css) with the
# game's module (starhollow.js, starhollow.wasm); any static host serves it.
web:
	@bash scripts/setup.sh web
	@$(WEB_CMAKE) >/dev/null
	@$(WEB_ENV) cmake --build build-web -j $(JOBS) --target starhollow web_page >build-web/build.log 2>&1 \
	   || { cat build-web/build.log; exit 1; }

play-web: web
	@echo "Starhollow is at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops serving it)"
	@cd build-web && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 >/dev/null 2>&1 || true

# The page's timings in headless Chromium.
bench-web: web
	@node bench/web-bench.mjs build-web

# build-windows/starhollow.exe, one file with no DLL beside it.
windows:
	@bash scripts/setup.sh windows
	@$(WINDOWS_CMAKE) >/dev/null
	@cmake --build build-windows -j $(JOBS) --target starhollow

# build-windows/starhollow-VERSION-win64.zip and build/starhollow_VERSION_amd64.deb.
package: windows
	@bash scripts/setup.sh base
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSTARHOLLOW_TESTS=OFF >/dev/null
	@cmake --build build -j $(JOBS)
	@cd build-windows && cpack -G ZIP
	@cd build && cpack -G DEB

bench:
	@bash scripts/setup.sh bench
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSTARHOLLOW_TESTS=OFF -DSTARHOLLOW_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target starhollow_bench
	@./build-bench/starhollow_bench

fuzz:
	@bash scripts/setup.sh fuzz
	@CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTARHOLLOW_TESTS=OFF \
	   -DSTARHOLLOW_SANITIZE=ON -DSTARHOLLOW_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_loaders
	@mkdir -p build-fuzz/corpus
	@./build-fuzz/fuzz_loaders -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	   -artifact_prefix=build-fuzz/ build-fuzz/corpus

clean:
	rm -rf build build-test build-bench build-fuzz build-windows build-web
