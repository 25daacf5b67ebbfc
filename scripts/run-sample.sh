#!/bin/sh
# Installs what the build needs, builds, and converts the bundled sample document with
# QLTAGENT into build/sample.txt, then shows where the text went and its first lines.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target QLTAGENT
OUT="$(pwd)/build/sample.txt"
build/quillet/console/QLTAGENT "--src=$(pwd)/samples/sample.pdf" "--dest=$OUT"
echo "The text of samples/sample.pdf went to $OUT ($(wc -c <"$OUT") bytes). Its first lines:"
# The text is Latin-1 with CR LF line ends and a form feed after each page.
head -n 15 "$OUT" | iconv -f LATIN1 -t UTF-8 | tr -d '\r\f'
