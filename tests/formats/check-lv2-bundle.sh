#!/bin/sh
# The bundle as Debian's lilv tools read it, the way LV2 hosts find and read
# plug-ins: lv2ls lists exactly it, lv2info describes it without a complaint,
# with one event input, twelve audio outputs, 1393 controls, its state and
# options interfaces and its X11 UI.
# Usage: check-lv2-bundle.sh <folder holding Kettrix4.lv2>
set -eu
if ! command -v lv2ls >/dev/null || ! command -v lv2info >/dev/null; then
  echo "lilv-utils (lv2ls, lv2info) not installed: skipped"
  exit 77
fi
# lilv takes absolute folders only.
LV2_PATH=$(cd "$1" && pwd)
export LV2_PATH
uri=urn:sorvane:kettrix4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

lv2ls >"$work/list" 2>"$work/list.err"
[ "$(cat "$work/list")" = "$uri" ] || { cat "$work/list" "$work/list.err"; fail "lv2ls lists other than $uri"; }
[ -s "$work/list.err" ] && { cat "$work/list.err"; fail "lv2ls complained"; }

lv2info "$uri" >"$work/info" 2>"$work/info.err" || fail "lv2info failed"
[ -s "$work/info.err" ] && { cat "$work/info.err"; fail "lv2info complained"; }

count() { grep -c -- "$1" "$work/info" || true; }
[ "$(count '^	Port [0-9]*:$')" -eq 1406 ] || fail "expected 1406 ports, got $(count '^	Port [0-9]*:$')"
[ "$(count 'lv2core#ControlPort')" -eq 1393 ] || fail "expected 1393 control ports"
[ "$(count 'lv2core#AudioPort')" -eq 12 ] || fail "expected 12 audio ports"
[ "$(count 'atom#AtomPort')" -eq 1 ] || fail "expected one atom port"
[ "$(count 'Port 1405:')" -eq 1 ] || fail "the last port is not 1405"
grep -q 'Name: *Kettrix4$' "$work/info" || fail "no name Kettrix4"
grep -q 'Class: *http://lv2plug.in/ns/extensions/ui#X11UI' "$work/info" || fail "no X11 UI"
grep -q 'state#interface' "$work/info" || fail "no state interface"
grep -q 'Has latency: *no' "$work/info" || fail "latency declared"
echo "lv2ls and lv2info read $uri: 1406 ports, X11 UI, state interface"
