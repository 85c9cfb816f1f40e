#!/usr/bin/env bash
# The program's own folders reach the platform only through the bindings' headers: in
# device/, panel/ and app/ every #include is one of ours ("kernel/...", "ui/...",
# "res/...", or a folder of the program) or a C++ standard header - never <windows.h>,
# a POSIX or a Qt header, which would tie the shared code to one of the two builds.
set -euo pipefail
shopt -s extglob
root="${1:?source tree}"
status=0
while IFS= read -r line; do
  file="${line%%:*}"
  include="$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' <<<"${line#*:}")"
  case "$include" in
    \"kernel/*\" | \"ui/*\" | \"res/*\" | \"device/*\" | \"panel/*\" | \"app/*\") ;;
    # C++ standard headers have no extension (<string>, <cstdio>, ...)
    \<+([a-z_])\>) ;;
    *) echo "layering: $file includes $include" >&2; status=1 ;;
  esac
done < <(cd "$root" && grep -H '^[[:space:]]*#[[:space:]]*include' device/* panel/* app/* | grep -v CMakeLists)
exit "$status"
