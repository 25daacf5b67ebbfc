#!/bin/sh
# Installs the Debian packages that the build, the tests and the sample job need.
# Packages already present are skipped, so a second run costs seconds.
set -eu
PACKAGES="cmake g++ make pkg-config googletest libgtest-dev libgmock-dev \
libpoppler-private-dev libpoppler-dev qt6-base-dev \
qpdf poppler-utils xvfb xauth xclip fontconfig fonts-dejavu-core clang libclang-rt-14-dev"
missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
