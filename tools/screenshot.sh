#!/bin/sh
# Starts the real window program under Xvfb, searches a small fixture tree and saves pictures of
# the results page and the targets page.
#
# Usage: tools/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
#   BUILD_DIR   the build folder that holds src/main/dopplet (default: build)
#   OUTPUT_PNG  the results page picture (default: screenshot.png); the targets page goes to the
#               same name with "-targets" before ".png"
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
output=${2:-$PWD/screenshot.png}
program=$build/src/main/dopplet
[ -x "$program" ] || { echo "no program at $program; build the target dopplet first" >&2; exit 2; }
case $output in /*) ;; *) output=$PWD/$output ;; esac

fixture=$(mktemp -d)
trap 'rm -rf "$fixture"' EXIT INT TERM
mkdir -p "$fixture/写真/2023" "$fixture/写真/バックアップ" "$fixture/docs" "$fixture/音楽"
printf 'same picture bytes\n' > "$fixture/写真/2023/海.jpg"
printf 'same picture bytes\n' > "$fixture/写真/バックアップ/海のコピー.jpg"
printf 'same picture bytes\n' > "$fixture/docs/sea.jpg"
printf 'report text, version 1\n' > "$fixture/docs/report.txt"
printf 'report text, version 1\n' > "$fixture/docs/報告書.txt"
printf 'a tune\n' > "$fixture/音楽/曲.mp3"
printf 'a tune\n' > "$fixture/音楽/tune.mp3"
printf 'unique\n' > "$fixture/docs/unique.txt"

# A private HOME and configuration keep the real user's settings out of it.
export HOME="$fixture/home" XDG_CONFIG_HOME="$fixture/home/.config"
mkdir -p "$HOME"
export LANG=${LANG:-C.UTF-8} DOPPLET_SCREENSHOT="$output" DOPPLET_AUTOSEARCH="$fixture"
(cd "$fixture" && xvfb-run -a -s "-screen 0 1024x768x24" "$program")
echo "saved $output and ${output%.png}-targets.png"
