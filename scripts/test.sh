#!/bin/sh
# Installs what the tests need, builds, and runs every test: once in a plain build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then the tests that run work
# on a second thread once more under ThreadSanitizer (only their programs are built).
set -eu
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
sh scripts/install-deps.sh
JOBS="$(nproc)"
BUILD="${QLT_BUILD_DIR:-build}"

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j "$JOBS"
(cd "$BUILD" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")

ASAN_BUILD="${BUILD}-asan"
cmake -S . -B "$ASAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DQLT_SANITIZE=address,undefined >/dev/null
cmake --build "$ASAN_BUILD" -j "$JOBS"
(cd "$ASAN_BUILD" && QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j "$JOBS")

# Twice: with Qt's GLib event loop, as the wizard runs, and with Qt's own (QT_NO_GLIB=1). The
# GLib loop's wake-up goes through a call that ThreadSanitizer sees, and so at times orders a
# call handed to the user-interface thread after what the worker wrote before it; Qt's own
# never does, so there a hand-off that only Qt's event queue orders is reported every time.
TSAN_BUILD="${BUILD}-tsan"
cmake -S . -B "$TSAN_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLT_SANITIZE=thread >/dev/null
cmake --build "$TSAN_BUILD" -j "$JOBS" --target thread_tests
for glib in "" 1; do
    (cd "$TSAN_BUILD" && QT_QPA_PLATFORM=offscreen QT_NO_GLIB="$glib" \
        TSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/tsan.supp:halt_on_error=1:second_deadlock_stack=1" \
        ctest --output-on-failure -j "$JOBS" -L threads --no-tests=error)
done
