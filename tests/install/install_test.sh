#!/usr/bin/env bash
# Vorpane installed as a user or another project meets it: into a prefix of
# its own, run from an empty folder; a consumer project built against the
# installed CMake package, plainly and with -O3 -march=native; the .deb with
# its files, its computed Depends, and lintian's verdict.
# Usage: install_test.sh BIN_DIR SOURCE_DIR   (the capture needs a display)
set -euo pipefail
bin=$1 src=$2
build=$(cd "$bin/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A sanitizer build's libraries need the sanitizers' runtime in every
# program that links them, which a consumer does not have: nothing to test.
if grep -q '^VORPANE_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "SKIP: the libraries of a sanitizer build are not for consumers"
  exit 77
fi
version=$(sed -n 's/^constexpr char VP_VERSION\[\] = "\(.*\)";$/\1/p' "$build/generated/vorpane_version.h")
[[ -n $version ]] || fail "no version in the build"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
[[ $("$prefix/bin/vorpane" --version) == "vorpane $version" ]] || fail "vorpane --version: $("$prefix/bin/vorpane" --version)"
for page in vorpane vorpane-capture vorpane-trace vorpane-objinfo vorpane-atlas; do
  zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "no man page for $page"
done
zcat "$prefix/share/man/man1/vorpane.1.gz" | grep -q "Page Down" || fail "the man page has no keys"

# From an empty folder the installed atlas is found: the same picture as
# the build tree's tool in assets/.
mkdir "$work/empty" "$work/ref"
(cd "$work/empty" && "$prefix/bin/vorpane-capture" --frames 600 --fast-forward --out . >/dev/null)
(cd "$src/assets" && "$bin/vorpane-capture" --frames 600 --fast-forward --out "$work/ref" >/dev/null)
cmp -s "$work/empty/frame-000600.png" "$work/ref/frame-000600.png" || fail "the installed capture drew another frame 600"

# A consumer gets the trace's positions, whatever its own flags.
expected=$("$bin/vorpane-trace" --frames 600 --every 600 2>/dev/null | grep '^E,600,')
for flags in "" "-O3 -march=native"; do
  consumer=$work/consumer-${flags// /}
  cmake -S "$src/examples/consumer" -B "$consumer" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CXX_FLAGS=$flags" >/dev/null
  cmake --build "$consumer" >/dev/null
  [[ $("$consumer/where-at-600") == "$expected" ]] || fail "the consumer built with '$flags' printed other positions"
done

# The package: its files, Depends from the linked libraries, no lintian error.
deb=$("$src/scripts/package" "$work" 2>"$work/lintian.txt") || fail "scripts/package: $(cat "$work/lintian.txt")"
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for f in ./usr/bin/vorpane ./usr/share/vorpane/parts.png ./usr/share/vorpane/scenes/show.toml \
         ./usr/share/man/man1/vorpane.1.gz ./usr/share/applications/vorpane.desktop \
         ./usr/share/doc/vorpane/copyright ./usr/include/vorpane/scene/scene.h; do
  grep -qx -- "$f" <<<"$files" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglfw3 libfreeimage3 libgl1; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "PASS: installed, found from anywhere, consumed at -O0 and -O3 -march=native, packaged ($(basename "$deb"))"
