#!/usr/bin/env bash
# Pictures of the window for the README: builds the program, makes the two-member demo
# workgroup, and renders Alice's main window, the Options dialog with the add-in's page, the
# folder browser and the print dialog to PNG files in docs/screenshots/ (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh quorvane QuorvaneDLL Pagorin
demo="$(mktemp -d)/demo"
trap 'rm -rf "$(dirname "$demo")"' EXIT
build/bin/quorvane demo --dir "$demo" > /dev/null
build/bin/quorvane --profile "$demo/alice" settings CalToolbar=1 > /dev/null
# --answer yes: the add-in's offer to create its toolbar is taken.
QT_QPA_PLATFORM=offscreen build/bin/quorvane --profile "$demo/alice" --answer yes \
  gui --screenshots docs/screenshots 2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2)
