#!/usr/bin/env bash
# The README's section "From your program to the chip": its ```sh blocks run, in order, in
# one shell from the repository's folder, with a home folder of their own. The images they
# make are those the build made, makebin's is the same filled up to 2048 bytes, and the
# lines the section shows as output are what the commands print.
# Usage: readme_test.sh BUILD_DIR
set -euo pipefail
sample="$1/sample"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "readme_test: $*"; exit 1; }

awk '/^## From your program to the chip$/ { on = 1; next } on && /^## / { on = 0 } on' \
  "$root/README.md" >"$tmp/section"
awk '/^```sh$/ { on = 1; next } /^```/ { on = 0; next } on' "$tmp/section" >"$tmp/commands.sh"
awk '/^```sh$/ { block = "sh"; next }
     /^```/ { block = block == "" ? "shown" : ""; next }
     block == "shown"' "$tmp/section" >"$tmp/shown"
[ -s "$tmp/commands.sh" ] || fail "the README has no commands in \"From your program to the chip\""
echo "--- the README's commands:"
cat "$tmp/commands.sh"

mkdir "$tmp/home"
sources_before="$(cat "$root"/res/sample/blink.{asm,c} | md5sum)"
status=0
(cd "$root" && HOME="$tmp/home" bash -euo pipefail "$tmp/commands.sh") >"$tmp/out" 2>&1 || status=$?
echo "--- their output:"
cat "$tmp/out"
[ "$status" = 0 ] || fail "the commands failed with status $status"

work="$tmp/home/blink"
cmp "$work/blink.bin" "$sample/blink.bin" || fail "blink.bin is not the build's"
cmp "$work/blink-c.bin" "$sample/blink-c.bin" || fail "blink-c.bin is not the build's"
[ "$(stat -c %s "$work/blink-c-2k.bin")" = 2048 ] || fail "makebin's image is not 2048 bytes"
srec_cat "$work/blink-c.bin" -Binary -fill 0xFF 0 2048 -o "$tmp/c-2k.bin" -Binary
cmp "$work/blink-c-2k.bin" "$tmp/c-2k.bin" || fail "makebin's image is not blink-c.bin filled with 0xFF"
while IFS= read -r line; do
  grep -qxF -- "$line" "$tmp/out" || fail "the README shows \"$line\", which the commands did not print"
done <"$tmp/shown"
# The sources stay as they are (sdcc would write a blink.asm of its own).
[ "$(cat "$root"/res/sample/blink.{asm,c} | md5sum)" = "$sources_before" ] ||
  fail "the commands changed the sources in res/sample/"
echo "readme_test: the README's commands give the build's images and the output it shows"
