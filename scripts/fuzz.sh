#!/bin/sh
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on,
# the system's code instrumented for coverage) and runs each one for a bounded time.
#
#   sh scripts/fuzz.sh [SECONDS [TARGET...]]
#
# SECONDS per target (default 60); TARGETs among page_range settings_file xpdfrc document
# command_line (default all). Each target starts from its committed seeds (tests/fuzz/corpus;
# the document target from the PDF fixtures and the sample, the encrypted ones also with a
# right and a long wrong password, mutated with the PDF tokens of tests/fuzz/document.dict)
# and keeps what it found in build-fuzz/corpus. An input that crashes, leaks or hangs is
# written to build-fuzz/artifacts and the script ends with code 1.
set -eu
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
sh scripts/install-deps.sh
SECONDS_EACH="${1:-60}"
[ $# -gt 0 ] && shift
TARGETS="${*:-page_range settings_file xpdfrc document command_line}"
BUILD="${QLT_FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$BUILD" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLT_SANITIZE=address,undefined -DQLT_FUZZ=ON \
    -DQLT_BUILD_GUI=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target fuzz_targets

failed=""
for target in $TARGETS; do
    corpus="$BUILD/corpus/$target"
    artifacts="$BUILD/artifacts/$target"
    mkdir -p "$corpus" "$artifacts"
    if [ "$target" = document ]; then
        cp "$ROOT"/tests/fixtures/*.pdf "$ROOT"/samples/*.pdf "$corpus"/
        # A password follows the last "\n%%password:": a byte that repeats the rest (here
        # once, and 255 times 200 bytes), then the rest.
        for fixture in "$ROOT"/tests/fixtures/five_pages_*.pdf "$ROOT"/tests/fixtures/encrypt_*.pdf; do
            name="$(basename "$fixture" .pdf)"
            { cat "$fixture"; printf '\n%%%%password:\001user-secret'; } >"$corpus/$name.password"
            { cat "$fixture"; printf '\n%%%%password:\377'; head -c 200 /dev/zero | tr '\0' a; } \
                >"$corpus/$name.long_password"
        done
    else
        cp "$ROOT/tests/fuzz/corpus/$target"/* "$corpus"/
    fi
    dict=""
    if [ -f "$ROOT/tests/fuzz/$target.dict" ]; then dict="-dict=$ROOT/tests/fuzz/$target.dict"; fi
    echo "== fuzz_$target for ${SECONDS_EACH}s"
    # shellcheck disable=SC2086 # $dict is one option or nothing
    if ! LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp:print_suppressions=0" \
        "$BUILD/tests/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/" $dict "$corpus"; then
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "Fuzzing found faults in:$failed (inputs in $BUILD/artifacts)"
    exit 1
fi
echo "No faults found."
