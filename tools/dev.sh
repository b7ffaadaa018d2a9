#!/usr/bin/env bash
# Sets up a Debian 12 machine for Dopplet, builds it, and then either starts the program
# ("run") or runs every test ("test"). Run from anywhere; needs root or sudo only to install.
set -euo pipefail

cd "$(dirname "$0")/.."
jobs=$(nproc)

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev qt6-base-dev qt6-translations-l10n
    fonts-noto-cjk xvfb xauth
    clang-format clang libclang-rt-14-dev
    lintian desktop-file-utils appstream devscripts man-db
)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

check_format() {
    local files
    files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests -name '*.cpp' -o -name '*.h')
    # shellcheck disable=SC2086
    clang-format --dry-run --Werror $files
}

# check_package BUILD: makes the Debian package from BUILD and checks it and its desktop files.
check_package() {
    local dir=$1
    rm -f "$dir"/dopplet_*.deb
    (cd "$dir" && cpack -G DEB >/dev/null)
    desktop-file-validate data/org.dopplet.Dopplet.desktop
    appstreamcli validate --no-net "$dir/data/org.dopplet.Dopplet.metainfo.xml"
    local deb
    deb=$(echo "$dir"/dopplet_*_"$(dpkg --print-architecture)".deb)
    lintian --fail-on error,warning "$deb"
    check_hardening "$deb"
    check_manuals "$dir"
}

# check_hardening DEB: the programs in the package are built with the hardening that Debian asks
# for (stack protector, fortified calls, read-only relocations, position-independent code).
check_hardening() {
    local unpacked
    unpacked=$(mktemp -d)
    dpkg-deb -x "$1" "$unpacked"
    local status=0
    # The programs are built with -fcf-protection, but Debian 12's C start files carry no
    # IBT/SHSTK property, so the linker leaves the mark out of every program on it.
    hardening-check --nocfprotection "$unpacked/usr/bin/dopplet" \
        "$unpacked/usr/bin/dopplet-find" || status=$?
    rm -rf "$unpacked"
    return $status
}

# check_manuals BUILD: every manual page, English and Japanese, renders without a warning.
check_manuals() {
    local page warnings
    for page in "$1"/data/*.1 "$1"/data/ja/*.1; do
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
        if [ -n "$warnings" ]; then
            echo "$page: $warnings" >&2
            return 1
        fi
    done
}

# fuzz_one BUILD NAME: runs one fuzz target for 20 seconds on its corpus in BUILD; fails on a
# finding, whose input is left in BUILD/fuzz/findings/.
fuzz_one() {
    local dir=$1 name=$2
    UBSAN_OPTIONS=print_stacktrace=1 "$dir/fuzz/fuzz_$name" -max_total_time=20 -timeout=10 \
        -artifact_prefix="$dir/fuzz/findings/$name-" "$dir/fuzz/corpus/$name" \
        >"$dir/fuzz/$name.log" 2>&1
}

# run_fuzz BUILD: builds the fuzz targets with Clang in BUILD and runs each for 20 seconds, one
# per core at a time, on a copy of its seeds from fuzz/corpus/, so that the repository is not
# written to. A finding fails the run.
run_fuzz() {
    local dir=$1
    build "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DDOPPLET_FUZZ=ON \
        -DDOPPLET_BUILD_GUI=OFF -DDOPPLET_BUILD_TESTS=OFF -DDOPPLET_WARNINGS_AS_ERRORS=ON
    local names=() seeds name
    mkdir -p "$dir/fuzz/findings"
    for seeds in fuzz/corpus/*/; do
        name=$(basename "$seeds")
        rm -rf "$dir/fuzz/corpus/$name"
        mkdir -p "$dir/fuzz/corpus/$name"
        cp "$seeds"* "$dir/fuzz/corpus/$name/"
        names+=("$name")
    done
    local failed=() first index pids batch
    for ((first = 0; first < ${#names[@]}; first += jobs)); do
        batch=("${names[@]:first:jobs}")
        pids=()
        for name in "${batch[@]}"; do
            echo "fuzz_$name"
            fuzz_one "$dir" "$name" &
            pids+=($!)
        done
        for index in "${!pids[@]}"; do
            wait "${pids[index]}" || failed+=("${batch[index]}")
        done
    done
    for name in "${failed[@]}"; do
        echo "fuzz_$name found a fault:"
        tail -n 60 "$dir/fuzz/$name.log"
    done
    [ ${#failed[@]} -eq 0 ]
}

run_tests() {
    echo "== format"
    check_format

    echo "== build and test"
    build build -DDOPPLET_WARNINGS_AS_ERRORS=ON
    ctest --test-dir build --output-on-failure -j "$jobs"

    echo "== Debian package"
    check_package build

    echo "== AddressSanitizer + UndefinedBehaviorSanitizer, all tests"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DDOPPLET_SANITIZE=address -DDOPPLET_WARNINGS_AS_ERRORS=ON
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
        UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"

    echo "== ThreadSanitizer, engine tests"
    # The engine is where threads share data; the other suites run on one thread.
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDOPPLET_SANITIZE=thread \
        -DDOPPLET_BUILD_GUI=OFF -DDOPPLET_WARNINGS_AS_ERRORS=ON >/dev/null
    cmake --build build-tsan -j "$jobs" --target engine_tests
    # One process for all of them: a process under ThreadSanitizer is slow to start, and ctest
    # would start one per test.
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/engine/engine_tests

    echo "== fuzz"
    run_fuzz build-fuzz
}

case "${1:-}" in
    run)
        install_missing
        build build
        if [ -x build/src/main/dopplet ]; then
            exec build/src/main/dopplet
        fi
        exec build/src/cli/dopplet-find --help
        ;;
    test)
        install_missing
        run_tests
        ;;
    *)
        echo "usage: tools/dev.sh run|test" >&2
        exit 2
        ;;
esac
