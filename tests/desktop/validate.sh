#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metainfo with the distributions' own validators.
# Any error or warning fails; hints and infos are allowed.
# Usage: validate.sh DESKTOP_FILE METAINFO_FILE
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 DESKTOP_FILE METAINFO_FILE" >&2
  exit 2
fi

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool not found (scripts/install-deps installs it)" >&2
    exit 1
  fi
done

# desktop-file-validate exits 0 on warnings, so its output is read as well.
check_desktop() {
  local out rc
  out=$(desktop-file-validate "$1" 2>&1); rc=$?
  [ -n "$out" ] && printf '%s\n' "$out"
  [ $rc -eq 0 ] && ! grep -qE ': (error|warning): ' <<<"$out"
}

# appstreamcli fails on warnings by itself; the W:/E: lines are read too in case a version does not.
check_metainfo() {
  local out rc
  out=$(appstreamcli validate --no-net "$1" 2>&1); rc=$?
  printf '%s\n' "$out"
  [ $rc -eq 0 ] && ! grep -qE '^(E|W): ' <<<"$out"
}

failed=0
echo "== $1"
check_desktop "$1" || { echo "FAIL: $1"; failed=1; }
echo "== $2"
check_metainfo "$2" || { echo "FAIL: $2"; failed=1; }

# The checks above must be able to fail: each broken copy below has to be rejected, so a validator
# that silently accepts everything (or a changed output format) shows up here.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# kind | file name | how the good file is broken (sed expression) | what it should trip
cases=(
  "desktop|no-type.desktop|/^Type=/d|error: required key missing"
  "desktop|deprecated.desktop|/^Type=/a Encoding=UTF-8|warning only: deprecated key"
  "metainfo|no-license.metainfo.xml|/<metadata_license>/d|error: metadata licence missing"
  "metainfo|bad-date.metainfo.xml|s/date=\"[0-9-]*\"/date=\"10.12.2026\"/|warning only: date not ISO 8601"
)
for c in "${cases[@]}"; do
  IFS='|' read -r kind name expr why <<<"$c"
  if [ "$kind" = desktop ]; then src=$1; else src=$2; fi
  sed "$expr" "$src" >"$tmp/$name"
  if cmp -s "$src" "$tmp/$name"; then
    echo "FAIL: self-check '$why' did not change $src"; failed=1; continue
  fi
  if "check_$kind" "$tmp/$name" >/dev/null; then
    echo "FAIL: self-check accepted a broken file ($why)"; failed=1
  else
    echo "ok: self-check rejected $name ($why)"
  fi
done

if [ $failed -ne 0 ]; then
  echo "desktop files: FAILED"
  exit 1
fi
echo "desktop files: valid"
