#!/usr/bin/env bash
# The images the build made from the sample's source. blink.bin holds, from address 0, every
# byte that as31's listing gives at its address and 0xFF (erased flash) in every gap, and
# ends at the program's last byte; blink-c.bin starts with the reset vector's jump; both
# fit the 2048 bytes of the 89C2051.
# Usage: image_test.sh BUILD_DIR
set -euo pipefail
sample="$1/sample"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "image_test: $*"; exit 1; }

for f in blink.bin blink.lst blink-c.bin; do
  [ -s "$sample/$f" ] || fail "the build made no $f"
done

# The listing's lines with code: "ADDR: BB BB BB   source"; the bytes stand in the
# columns 7 to 18.
awk '/^[0-9A-F][0-9A-F][0-9A-F][0-9A-F]:/ {
       addr = 0
       for (i = 1; i <= 4; ++i) addr = addr * 16 + index("0123456789ABCDEF", substr($0, i, 1)) - 1
       n = split(substr($0, 7, 12), b, " ")
       for (i = 1; i <= n; ++i) { mem[addr + i - 1] = b[i]; if (addr + i > size) size = addr + i }
     }
     END { for (a = 0; a < size; ++a) print (a in mem) ? mem[a] : "FF" }' \
  "$sample/blink.lst" >"$tmp/expected"
od -An -v -tx1 "$sample/blink.bin" | tr ' ' '\n' | grep -v '^$' | tr a-f A-F >"$tmp/actual"
[ "$(wc -l <"$tmp/expected")" -gt 3 ] || fail "the listing has no code"
diff "$tmp/expected" "$tmp/actual" >"$tmp/diff" ||
  fail "blink.bin differs from the listing (line = address + 1): $(head -20 "$tmp/diff")"

for f in blink.bin blink-c.bin; do
  size=$(stat -c %s "$sample/$f")
  [ "$size" -le 2048 ] || fail "$f has $size bytes, more than the chip's 2048"
  [ "$(od -An -tx1 -N1 "$sample/$f" | tr -d ' ')" = 02 ] ||
    fail "$f does not start with the reset vector's LJMP"
done
echo "image_test: the sample images are complete, from address 0, gaps erased"
