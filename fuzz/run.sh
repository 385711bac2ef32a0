#!/usr/bin/env bash
# Builds the skin package reader's fuzz target with clang in its own build directory and runs it
# for a bounded time, seeded with the program's own package and a few damaged ones.
# Usage: fuzz/run.sh [seconds, default 60] [build dir, default build-fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build-fuzz}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLIMS_FUZZ=ON -DLIMS_BUILD_TESTS=OFF -DLIMS_WERROR=ON >/dev/null
cmake --build "$build" --target fuzz_skinpackage skinpack -j2

corpus="$build/fuzz/corpus"
mkdir -p "$corpus"
"$build/tools/skinpack/skinpack" resources/skin/source/skin.txt "$corpus/default.qlskin"
head -c 200 "$corpus/default.qlskin" >"$corpus/truncated.qlskin"
printf 'QLSK\001\000' >"$corpus/older.qlskin"
: >"$corpus/empty.qlskin"
# Odd first byte: the rest is a payload (one metric entry "m" = 5) wrapped in a good header.
printf '\001\001\000\003\001m\005\000\000\000' >"$corpus/payload.bin"

# Leaks are Qt's one-time allocations (image handlers), not the reader's.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
    "$build/fuzz/fuzz_skinpackage" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=65536 -timeout=10 -print_final_stats=1 "$corpus"
