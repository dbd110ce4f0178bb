#!/usr/bin/env bash
# Checks that the tools the build needs are present and installs the missing
# Debian packages where apt-get can be used. Usage: setup.sh [base|bench|fuzz|windows|web|test]
# (windows: the cross compiler and Wine; web: Emscripten, Chromium and the
# browser tests' npm packages; test: base, windows and web together)
set -euo pipefail

want="${1:-base}"
missing=()

have_header() { [ -e "/usr/include/$1" ] || [ -e "/usr/local/include/$1" ]; }

command -v cmake >/dev/null 2>&1 || missing+=(cmake)
if [ "$want" != windows ]; then
  command -v g++ >/dev/null 2>&1 || missing+=(g++)
  have_header ncurses.h || missing+=(libncurses-dev)
  have_header gtest/gtest.h || missing+=(libgtest-dev)
  # The end-to-end tests read the game's screen through a terminal emulator.
  have_header vterm.h || missing+=(libvterm-dev)
  command -v pkg-config >/dev/null 2>&1 || missing+=(pkg-config)
fi
if [ "$want" = windows ] || [ "$want" = test ]; then
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
  [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
  # GoogleTest's sources, built with the cross compiler.
  [ -d /usr/src/googletest/googletest ] || missing+=(googletest)
fi
if [ "$want" = web ] || [ "$want" = test ]; then
  command -v em++ >/dev/null 2>&1 || missing+=(emscripten)
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  command -v chromium >/dev/null 2>&1 || missing+=(chromium)
  command -v python3 >/dev/null 2>&1 || missing+=(python3)
fi
# The browser tests drive Chromium with puppeteer-core, from npm.
npm_packages() {
  if [ "$want" = web ] || [ "$want" = test ]; then
    local page
    page="$(cd "$(dirname "$0")/.." && pwd)/web"
    [ -d "$page/node_modules/puppeteer-core" ] || (cd "$page" && npm ci --no-audit --no-fund --silent)
  fi
}
if [ "$want" = bench ]; then
  have_header benchmark/benchmark.h || missing+=(libbenchmark-dev)
fi
if [ "$want" = fuzz ]; then
  command -v clang++ >/dev/null 2>&1 || missing+=(clang)
  # libFuzzer and the sanitizer runtimes come with clang's runtime package.
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 \
    || missing+=(libclang-rt-dev)
fi

if [ ${#missing[@]} -eq 0 ]; then
  npm_packages
  exit 0
fi

if command -v apt-get >/dev/null 2>&1 && { [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null 2>&1; }; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing missing packages: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
  npm_packages
  exit 0
fi

echo "Starhollow needs these packages, please install them: ${missing[*]}" >&2
exit 1
