#!/usr/bin/env bash
# Static checks of a Windows plug-in DLL, read with objdump -p:
#   format  <PE32|PE32+>  the optional header's magic (010b or 020b)
#   exports               exactly VSTPluginMain and main, nothing else
#   imports               only DLLs that every Windows installation has
# Usage: check-dll.sh <objdump> <dll> format <PE32|PE32+>
#        check-dll.sh <objdump> <dll> exports|imports
set -euo pipefail

objdump=$1 dll=$2 check=$3
headers=$("$objdump" -p "$dll")

fail() { echo "FAIL ($dll): $*" >&2; exit 1; }

case $check in
  format)
    expected=$4
    case $expected in
      PE32) magic=010b ;;
      PE32+) magic=020b ;;
      *) fail "unknown format '$expected'" ;;
    esac
    found=$(awk '$1 == "Magic" { print $2, $3 }' <<<"$headers")
    [ "$found" = "$magic ($expected)" ] ||
      fail "expected magic $magic ($expected), found '${found:-none}'"
    ;;

  exports)
    # The name table follows its "[Ordinal/Name Pointer] Table" heading and
    # ends at the next empty line.
    names=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
                 inside && /^[[:space:]]*$/ { inside = 0 }
                 inside { print $NF }' <<<"$headers" | LC_ALL=C sort | tr '\n' ' ')
    [ "$names" = "VSTPluginMain main " ] ||
      fail "expected exports 'VSTPluginMain main', found '${names% }'"
    ;;

  imports)
    # The run-time is linked statically, so only system DLLs may remain:
    # the C runtime and the Win32 API libraries the plug-in uses.
    allowed=" kernel32.dll msvcrt.dll user32.dll gdi32.dll advapi32.dll comdlg32.dll
              shell32.dll wininet.dll ole32.dll comctl32.dll ws2_32.dll "
    imports=$(grep -E '^[[:space:]]*DLL Name:' <<<"$headers" | awk '{ print tolower($NF) }')
    [ -n "$imports" ] || fail "no import table found"
    for name in $imports; do
      [[ " $(echo $allowed) " == *" $name "* ]] ||
        fail "imports non-system DLL '$name' (all imports: $(echo $imports))"
    done
    ;;

  *) fail "unknown check '$check'" ;;
esac
echo "ok ($check): $dll"
