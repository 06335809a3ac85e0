#!/usr/bin/env bash
# Vorpane installed as a user or another project meets it: into a prefix of
# its own, run from an empty folder, moved elsewhere; consumer projects built
# against the installed CMake package (at -O0 and at -O3 -march=native, and
# on the display side) and with pkg-config; the .deb with its files, its
# computed Depends, lintian's verdict and its own programs unpacked.
# Usage: install_test.sh BIN_DIR SOURCE_DIR   (the capture needs a display)
set -euo pipefail
bin=$1 src=$2
build=$(cd "$bin/.." && pwd)
work=$(cd "$(mktemp -d)" && pwd -P)  # as getcwd names it in messages
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A sanitizer build's libraries need the sanitizers' runtime in every
# program that links them, which a consumer does not have: nothing to test.
if grep -q '^VORPANE_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "SKIP: the libraries of a sanitizer build are not for consumers"
  exit 77
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || fail "no version in the build"
programs=(vorpane vorpane-capture vorpane-trace vorpane-objinfo vorpane-atlas)

# capture_600 PROGRAM FOLDER [OUT]: frame 600 run in FOLDER, written into
# OUT/frame-000600.png (default: FOLDER).
capture_600() { (cd "$2" && "$1" --frames 600 --fast-forward --out "${3:-.}" >/dev/null); }
capture_600 "$bin/vorpane-capture" "$src/assets" "$work/ref"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for program in "${programs[@]}"; do
  [[ $("$prefix/bin/$program" --version) == "$program $version" ]] || fail "$program --version"
  zcat "$prefix/share/man/man1/$program.1.gz" | grep -q "^\.TH" || fail "no man page for $program"
done
zcat "$prefix/share/man/man1/vorpane.1.gz" | grep -q "Page Down" || fail "the man page has no keys"

# From an empty folder, the installed atlas: the same picture as the build
# tree's tool draws in assets/. Moved elsewhere, the prefix still finds it;
# without it, every place looked in is named; an --atlas given is used as
# given, never looked for.
mkdir "$work/empty"
capture_600 "$prefix/bin/vorpane-capture" "$work/empty"
cmp -s "$work/empty/frame-000600.png" "$work/ref/frame-000600.png" || fail "the installed capture drew another frame 600"
mv "$prefix" "$work/moved"
rm "$work/empty/frame-000600.png"
capture_600 "$work/moved/bin/vorpane-capture" "$work/empty" || fail "the moved prefix lost its atlas"
cd "$work/empty"
"$work/moved/bin/vorpane-capture" --frames 1 --atlas parts.png 2>"$work/given.txt" && fail "--atlas parts.png was looked for"
grep -q "share/vorpane" "$work/given.txt" && fail "--atlas parts.png was looked for: $(cat "$work/given.txt")"
mv "$work/moved/share/vorpane/parts.png" "$work/"
"$work/moved/bin/vorpane-capture" --frames 1 2>"$work/missing.txt" && fail "a capture without an atlas"
grep -qF "in $work/empty or $work/moved/share/vorpane " "$work/missing.txt" ||
  fail "the missing atlas's places: $(cat "$work/missing.txt")"
mv "$work/parts.png" "$work/moved/share/vorpane/"
mv "$work/moved" "$prefix"

# Consumers get the trace's positions whatever their flags: at -O0, with no
# display library to be found (the simulation needs none), and at -O3
# -march=native; the CMake package hands them the rounding flags itself.
expected=$("$bin/vorpane-trace" --frames 600 --every 600 2>/dev/null | grep '^E,600,')
for flags in "" "-O3 -march=native"; do
  consumer=$work/consumer-${flags// /}
  cmake -S "$src/examples/consumer" -B "$consumer" -DCMAKE_PREFIX_PATH="$prefix" "-DCMAKE_CXX_FLAGS=$flags" \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON >/dev/null
  cmake --build "$consumer" >/dev/null
  grep -q -- "${flags:+-march=native.*}-ffp-contract=off -fno-fast-math -fno-tree-vectorize -fno-builtin-sin -fno-builtin-cos" \
    "$consumer/compile_commands.json" || fail "the rounding flags do not follow the consumer's own ('$flags')"
  [[ $("$consumer/where-at-600") == "$expected" ]] || fail "the consumer built with '$flags' printed other positions"
done
pc_path=$(dirname "$(find "$prefix" -name vorpane.pc)")
pc() { PKG_CONFIG_PATH=$pc_path pkg-config "$@" vorpane; }
# shellcheck disable=SC2046  # pkg-config's words are meant to split
c++ -std=c++17 -O3 -march=native $(pc --cflags) $(pc --variable=exact_cflags) "$src/examples/consumer/main.cpp" \
  $(pc --libs) -o "$work/where-pc"
[[ $("$work/where-pc") == "$expected" ]] || fail "the pkg-config consumer printed other positions"
cmake -S "$src/tests/install/gl_consumer" -B "$work/gl" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/gl" >/dev/null
"$work/gl/show-atlas" "$prefix/share/vorpane/parts.png" || fail "Vorpane::gl did not decode the atlas"

# The package: its files, Depends from the linked libraries, no lintian
# error or warning; its programs, unpacked, trace and draw as the build's.
deb=$("$src/scripts/package" "$work" 2>"$work/lintian.txt") || fail "scripts/package: $(cat "$work/lintian.txt")"
[[ $(basename "$deb") == "vorpane_${version}_amd64.deb" ]] || fail "the package is named $deb"
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for f in "${programs[@]/#/./usr/bin/}" "${programs[@]/#/./usr/share/man/man1/}" \
         ./usr/share/vorpane/parts.png ./usr/share/vorpane/scenes/show.toml ./usr/share/applications/vorpane.desktop \
         ./usr/share/icons/hicolor/64x64/apps/vorpane.png ./usr/share/doc/vorpane/copyright \
         ./usr/include/vorpane/scene/scene.h ./usr/lib/x86_64-linux-gnu/libvorpane_sim.a \
         ./usr/lib/x86_64-linux-gnu/cmake/Vorpane/VorpaneConfig.cmake ./usr/lib/x86_64-linux-gnu/pkgconfig/vorpane.pc; do
  [[ $f == */man1/* ]] && f=$f.1.gz
  grep -qx -- "$f" <<<"$files" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libglfw3 libfreeimage3 libgl1 libglu1-mesa; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
dpkg-deb -x "$deb" "$work/root"
cmp -s <("$work/root/usr/bin/vorpane-trace" --frames 600 2>/dev/null) <("$bin/vorpane-trace" --frames 600 2>/dev/null) ||
  fail "the package's vorpane-trace prints another trace"
rm "$work/empty/frame-000600.png"
capture_600 "$work/root/usr/bin/vorpane-capture" "$work/empty"
cmp -s "$work/empty/frame-000600.png" "$work/ref/frame-000600.png" || fail "the package's capture drew another frame 600"
echo "PASS: installed, found from anywhere, consumed at -O0 and -O3 -march=native, packaged ($(basename "$deb"))"
