#!/usr/bin/env bash
# Windows deliverables and 32-bit checks, run after the native tests:
#   1. packages (mingw-w64 posix toolchains, Wine, multilib, qemu)
#   2. third-party libraries for each target, from Debian sources (cached)
#   3. 32-bit Linux build of the core and its unit tests, run under qemu-i386
#   4. x64 DLL + programs cross-built; unit, host and editor window tests
#      under Wine (on a private Xvfb); static checks of the DLL (PE32+, two
#      exports, system imports only)
#   5. x86 DLL cross-built; static checks (PE32, two exports, system imports)
#   6. the x64 DLL under Wine and the Linux plug-in render the same MIDI file
#      to the same samples
# Any failure stops the script with a non-zero exit code.
#
# Usage: .ci/windows.sh [stage ...]   (stages: deps m32 win64 win32 compare;
#                                      default: all)
# Environment: KETTRIX_WINDOWS_BUILD  build root (default build-windows)
#              KETTRIX_NATIVE_BUILD   native build with the Linux plug-in and
#                                     render host (default build)
#              KETTRIX_JOBS           parallel build jobs (default: nproc)
#              KETTRIX_WERROR         ON: compiler warnings are errors (default OFF;
#                                     .ci/run sets ON)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build_root=$(realpath -m "${KETTRIX_WINDOWS_BUILD:-build-windows}")
native_build=$(realpath -m "${KETTRIX_NATIVE_BUILD:-build}")
export KETTRIX_JOBS=${KETTRIX_JOBS:-$(nproc)}
KETTRIX_WERROR=${KETTRIX_WERROR:-OFF}
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(deps m32 win64 win32 compare)

# Wine: a private prefix inside the build root, headless, no Mono/Gecko
# prompts, and the 64-bit loader called directly (wine32 is not installed).
export WINEPREFIX=$build_root/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
stop_wine() { [ -d "$WINEPREFIX" ] && "$WINESERVER" -k 2>/dev/null || true; }
# Wine draws windows through X: the editor tests run on a headless X server
# of this script's own, started with the x64 stage.
xvfb_pid=
start_xvfb() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$fd_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do [ -s "$fd_file" ] && break; sleep 0.05; done
  [ -s "$fd_file" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
}
stop_all() {
  stop_wine
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap stop_all EXIT

stage_start=0
stage() {
  echo
  echo "== windows: $* ($(date -u +%H:%M:%S))"
  stage_start=$SECONDS
}
stage_done() { echo "-- done in $((SECONDS - stage_start)) s"; }

# Names of the test programs registered by the given tests/<area> folders.
tests_of_areas() {
  local area
  for area in "$@"; do
    [ -f "$root/tests/$area/CMakeLists.txt" ] || continue
    # An area without GoogleTest programs (tests/architecture) lists nothing.
    { grep -hoE 'kettrix_add_gtest\([[:space:]]*[A-Za-z0-9_]+' "$root/tests/$area/CMakeLists.txt" || true; } |
      sed -E 's/kettrix_add_gtest\([[:space:]]*//'
  done
}

run_deps() {
  stage "packages and third-party libraries"
  scripts/install-windows-deps.sh
  for target in win64 win32 linux32; do
    scripts/deps-cross.sh "$target" "$build_root/deps/$target" "$build_root/deps-src"
  done
  stage_done
}

run_m32() {
  stage "32-bit Linux core (-m32 -msse2 -mfpmath=sse) under qemu-i386-static"
  local dir=$build_root/linux32 prefix=$build_root/deps/linux32
  local flags="-m32 -msse2 -mfpmath=sse"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKETTRIX_TOOLS=OFF -DKETTRIX_WERROR="$KETTRIX_WERROR" \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_PREFIX_PATH="$prefix" -DZLIB_ROOT="$prefix" -DZLIB_USE_STATIC_LIBS=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR=qemu-i386-static >/dev/null
  # Only the platform-neutral core: its libraries and their unit tests (the
  # editor's X11 libraries exist here only for 64 bits).
  local areas=()
  for a in tests/*/; do a=$(basename "$a"); [ "$a" != windows ] && areas+=("$a"); done
  mapfile -t programs < <(tests_of_areas "${areas[@]}")
  local targets=() known
  known=$(cmake --build "$dir" --target help)
  for p in "${programs[@]}"; do
    grep -qE "^\.\.\. $p\$" <<<"$known" && targets+=("$p")
  done
  if [ ${#targets[@]} -eq 0 ]; then
    echo "no core test programs yet"
  else
    cmake --build "$dir" -j"$KETTRIX_JOBS" --target "${targets[@]}"
    local regex
    regex="^($(IFS='|'; echo "${targets[*]}"))\$"
    # This kernel cannot exec i386 programs itself, so cases that start another
    # program of the build (the resource generators) only run natively.
    GTEST_FILTER="-*Regenerat*" \
      ctest --test-dir "$dir" --output-on-failure -j"$KETTRIX_JOBS" -R "$regex"
  fi
  stage_done
}

configure_windows() {
  local dir=$1 toolchain=$2 prefix=$3; shift 3
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
        -DKETTRIX_DEPS_PREFIX="$prefix" -DKETTRIX_WERROR="$KETTRIX_WERROR" "$@" >/dev/null
}

run_win64() {
  stage "Windows x64: cross build, unit and host tests under Wine"
  local dir=$build_root/win64
  configure_windows "$dir" mingw-x86_64.cmake "$build_root/deps/win64" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$WINELOADER"
  # Keep going past a program that fails to compile, so that every test
  # that can run still runs; the stage fails at its end all the same.
  local build_ok=1
  cmake --build "$dir" -j"$KETTRIX_JOBS" -- -k || build_ok=0
  # One persistent Wine server for the whole run saves its start-up on every
  # test program. Wine's background services are started here, outside
  # CTest: started by the first test, they would inherit its output pipe and
  # keep CTest waiting until the test's timeout.
  # The prefix folder must exist before the server starts in it; the first
  # program run below fills it.
  mkdir -p "$WINEPREFIX"
  # The X server comes first: Wine's desktop process, started with the
  # services below, keeps the display it found.
  start_xvfb
  "$WINESERVER" -p 30
  "$WINELOADER" cmd.exe /c exit >/dev/null 2>&1 </dev/null
  ctest --test-dir "$dir" --output-on-failure
  if [ $build_ok -eq 0 ]; then
    echo "the x64 build failed (see the compiler errors above)" >&2
    return 1
  fi
  stage_done
}

run_win32() {
  stage "Windows x86: cross build of the DLL, static checks"
  local dir=$build_root/win32
  configure_windows "$dir" mingw-i686.cmake "$build_root/deps/win32"
  if grep -qE '^\.\.\. Kettrix4$' <<<"$(cmake --build "$dir" --target help)"; then
    cmake --build "$dir" -j"$KETTRIX_JOBS" --target Kettrix4
    ctest --test-dir "$dir" --output-on-failure -L dll-static
  else
    echo "no plug-in target yet"
  fi
  stage_done
}

run_compare() {
  stage "same samples: Linux plug-in vs x64 DLL under Wine"
  local dll=$build_root/win64/plugin/Kettrix4.dll
  local render_exe=$build_root/win64/tools/render/kettrix-render.exe
  local so=$native_build/plugin/Kettrix4.so
  local render=$native_build/tools/render/kettrix-render
  local missing=0 f
  for f in "$dll" "$render_exe" "$so" "$render"; do
    [ -f "$f" ] || { echo "missing $f"; missing=1; }
  done
  if [ $missing -eq 1 ]; then
    echo "comparison needs both builds; skipped"
  else
    tests/windows/compare-renders.sh "$render" "$so" "$WINELOADER" "$render_exe" "$dll" \
      "$build_root/compare"
  fi
  stage_done
}

total_start=$SECONDS
for s in "${stages[@]}"; do
  case $s in
    deps|m32|win64|win32|compare) "run_$s" ;;
    *) echo "unknown stage '$s'" >&2; exit 2 ;;
  esac
done
echo
echo "== windows: all stages passed in $((SECONDS - total_start)) s"
