#!/usr/bin/env bash
# scripts/chip-run on the built sample: it runs, at the toggle time computed from the
# source; copies with one byte changed in the toggle instruction or a delay constant fail,
# and so do images that run beyond 2 KB, do not fit the chip or are empty.
# Usage: chip_run_test.sh BUILD_DIR
set -euo pipefail
sample="$1/sample"
root="$(cd "$(dirname "$0")/../.." && pwd)"
chip_run="$root/scripts/chip-run"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "chip_run_test: $*"; failures=$((failures + 1)); }

toggle="$(cat "$sample/blink.toggle-ms")"
# run NAME EXPECTED_STATUS EXPECTED_OUTPUT_REGEX ARGS...
run() {
  local name="$1" want_status="$2" want="$3" status=0 out
  shift 3
  out="$("$chip_run" "$@" 2>&1)" || status=$?
  if [ "$status" != "$want_status" ] || ! grep -qE -- "$want" <<<"$out"; then
    fail "$name: status $status (want $want_status), output: $out (want /$want/)"
  else
    echo "ok: $name: $out"
  fi
}

run "the sample" 0 "^the simulated chip runs the image: P1\.0 toggles every ${toggle//./\\.} ms$" \
  "$sample/blink.bin" "$toggle"
run "the C sample, at a steady rate" 0 "^the simulated chip runs the image: P1\.0 toggles every [0-9.]+ ms$" \
  "$sample/blink-c.bin"
# The flash as the simulated device saves it: the image, then erased to 2048 bytes.
srec_cat "$sample/blink.bin" -Binary -fill 0xFF 0 2048 -o "$tmp/flash.bin" -Binary
run "the whole flash with the sample" 0 "toggles every ${toggle//./\\.} ms" "$tmp/flash.bin" "$toggle"

# One byte of the sample changed (xor 1), found by its instruction in as31's listing:
# "pattern|byte of the instruction|what chip-run must say".
cases=(
  "cpl[[:space:]]+P1\.0|0|P1\.0 toggled only"                   # CPL C instead
  "cpl[[:space:]]+P1\.0|1|P1\.0 toggled only"                   # CPL P1.1 instead
  "mov[[:space:]]+r7, *#OUTER|1|expected ${toggle//./\\.} ms"   # 251 outer rounds
  "mov[[:space:]]+r6, *#INNER|1|expected ${toggle//./\\.} ms"   # 248 inner rounds
)
for c in "${cases[@]}"; do
  IFS='|' read -r pattern index reason <<<"$c"
  addr=$(grep -E -i -m1 "^[0-9A-F]{4}: .*$pattern" "$sample/blink.lst" | cut -c1-4 || true)
  [ -n "$addr" ] || { fail "no line /$pattern/ in the listing"; continue; }
  offset=$((0x$addr + index))
  cp "$sample/blink.bin" "$tmp/changed.bin"
  byte=$(od -An -tu1 -j"$offset" -N1 "$sample/blink.bin")
  printf "$(printf '\\%03o' $((byte ^ 1)))" |
    dd of="$tmp/changed.bin" bs=1 seek="$offset" conv=notrunc status=none
  cmp -s "$sample/blink.bin" "$tmp/changed.bin" && { fail "no byte changed"; continue; }
  run "byte $index of '$pattern' changed" 1 "^the simulated chip does not run the image: .*$reason" \
    "$tmp/changed.bin" "$toggle"
done

# An s51 that loads nothing and still exits 0 (as it does with a file it cannot read):
# the flash it holds is erased, not the image.
mkdir "$tmp/shim"
printf '#!/bin/sh\nexec %s -q -b -t 80C51 -X 12M "%s"\n' "$(command -v s51)" "$tmp/no-such.hex" >"$tmp/shim/s51"
chmod +x "$tmp/shim/s51"
PATH="$tmp/shim:$PATH" run "an s51 that loaded nothing" 1 \
  "read back from s51 differs from the image at 0x0000 \(0xFF, not 0x02\)" "$sample/blink.bin" "$toggle"

# A program that jumps beyond the chip's flash.
printf '        .org 0\n        ljmp 0x0800\n' >"$tmp/beyond.asm"
as31 -O"$tmp/beyond.hex" "$tmp/beyond.asm" >/dev/null 2>&1
srec_cat "$tmp/beyond.hex" -Intel -o "$tmp/beyond.bin" -Binary
run "a jump to 0x0800" 1 "runs beyond the 2048 bytes of flash \\(code read at 0x0800\\)" "$tmp/beyond.bin"
# Images that cannot be a chip's flash, and a toggle time that is no time.
head -c 2049 /dev/zero >"$tmp/big.bin"
run "2049 bytes" 1 "2049 bytes, more than the 2048" "$tmp/big.bin"
: >"$tmp/empty.bin"
run "an empty image" 1 "the image is empty" "$tmp/empty.bin"
run "toggle time 0" 2 "TOGGLE_MS must be" "$sample/blink.bin" 0
run "no such image" 2 "cannot read the image" "$tmp/none.bin"

[ "$failures" = 0 ] || { echo "chip_run_test: $failures failed"; exit 1; }
echo "chip_run_test: all passed"
