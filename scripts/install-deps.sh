#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# packages already present are left alone, and apt is not touched at all then.
# --fuzz adds clang and its libFuzzer runtime, which only scripts/fuzz.sh needs.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  libical-dev
  libxxhash-dev  # the digest of an item's content (header only)
  libmimalloc-dev  # the program's memory allocator
  bsdutils  # script(1): the tests put the program on a terminal
  qt6-base-dev fonts-dejavu-core  # the window and the printer; a font for printed pages
  fonts-liberation  # Arial's metric twin, so printed pages measure as designed
  cups  # the tests print through a CUPS scheduler of their own
  poppler-utils  # pdftoppm/pdftotext: the tests look at printed pages
  python3-icalendar  # a second reader of the calendar files we write
  libcurl4-openssl-dev libxml2-dev  # the public folders on a CalDAV server
  radicale python3-caldav  # the tests' CalDAV server and a second CalDAV client
  vdirsyncer curl bc  # what bench/ compares the CalDAV store with, and its script's tools
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
