#!/bin/sh
# Shows every window of the program under Xvfb with a real window manager (openbox), after a search
# of a small fixture tree, and saves a picture of each into OUTPUT_FOLDER. The settings live in a
# temporary file; the developer's own are never read or written.
#
# Usage: tools/screenshot.sh [BUILD_DIR] [OUTPUT_FOLDER]
#   BUILD_DIR      the build folder (default: build)
#   OUTPUT_FOLDER  where the pictures go (default: screenshots)
# Needs the Debian packages xvfb, xauth and openbox.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
output=${2:-$PWD/screenshots}
tour=$build/tools/window_tour/dopplet-window-tour
[ -x "$tour" ] || { echo "no tour at $tour; build the target dopplet-window-tour" >&2; exit 2; }
command -v openbox >/dev/null || { echo "openbox is missing: apt-get install openbox" >&2; exit 2; }
case $output in /*) ;; *) output=$PWD/$output ;; esac

fixture=$(mktemp -d)
trap 'rm -rf "$fixture"' EXIT INT TERM
mkdir -p "$fixture/写真/2023" "$fixture/写真/バックアップ" "$fixture/docs" "$fixture/音楽"
printf 'same picture bytes\n' > "$fixture/写真/2023/海.jpg"
printf 'same picture bytes\n' > "$fixture/写真/バックアップ/海のコピー.jpg"
printf 'same picture bytes\n' > "$fixture/docs/sea.jpg"
printf 'report text, version 1\n' > "$fixture/docs/report.txt"
printf 'report text, version 1\n' > "$fixture/docs/報告書2024_g_y.txt"
printf 'a tune\n' > "$fixture/音楽/曲.mp3"
printf 'a tune\n' > "$fixture/音楽/tune.mp3"
printf 'unique\n' > "$fixture/docs/unique.txt"
printf 'meeting notes\n' > "$fixture/docs/notes.txt"
printf 'meeting notes\n' > "$fixture/音楽/notes.txt"
printf 'other notes\n' > "$fixture/写真/notes.txt"
printf 'draft A\n' > "$fixture/docs/報告書.txt"
printf 'draft B\n' > "$fixture/写真/報告書.txt"
printf 'draft C\n' > "$fixture/音楽/報告書.txt"

# A private HOME keeps the real user's configuration out of it.
export HOME="$fixture/home" XDG_CONFIG_HOME="$fixture/home/.config" LANG=${LANG:-C.UTF-8}
mkdir -p "$HOME"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    'openbox >/dev/null 2>&1 & sleep 1; "$0" "$1" "$2"' "$tour" "$fixture" "$output"
