#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test with ctest and,
# when clang is present, each fuzz target for a short while.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
zel_install_missing
zel_build

log="$ZEL_BUILD/ctest.log"
status=0
(cd "$ZEL_BUILD" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)") 2>&1 | tee "$log" || status=1

fuzz_status=0
if command -v clang++ >/dev/null 2>&1 && [ "${ZEL_SKIP_FUZZ:-0}" != 1 ]; then
  fuzz_build="$ZEL_ROOT/build-fuzz"
  if [ ! -f "$fuzz_build/build.ninja" ]; then
    CXX=clang++ cmake -S "$ZEL_ROOT" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZEL_BUILD_FUZZ=ON -DZEL_BUILD_APP=OFF -DZEL_BUILD_TESTS=OFF -DZEL_BUILD_BENCH=OFF >/dev/null
  fi
  cmake --build "$fuzz_build" --target fuzz_all
  seconds="${ZEL_FUZZ_SECONDS:-10}"
  for target in "$fuzz_build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue  # not the automoc folders
    name="$(basename "$target")"
    corpus="$(mktemp -d)"
    if [ -d "$ZEL_ROOT/fuzz/corpus/$name" ]; then
      cp -r "$ZEL_ROOT/fuzz/corpus/$name/." "$corpus/"
    fi
    if "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" >"$fuzz_build/$name.log" 2>&1; then
      echo "fuzz $name: clean for ${seconds}s"
    else
      echo "fuzz $name: FAILED (see $fuzz_build/$name.log)"
      tail -n 40 "$fuzz_build/$name.log"
      fuzz_status=1
    fi
    rm -rf "$corpus"
  done
fi

# ctest's closing line, last, whatever else ran.
grep -E 'tests passed|No tests were found' "$log" | tail -n 1 || true
if [ $status -ne 0 ] || [ $fuzz_status -ne 0 ]; then
  exit 1
fi
