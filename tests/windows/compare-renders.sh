#!/usr/bin/env bash
# Renders the same MIDI input with the Linux plug-in (native kettrix-render)
# and with the x64 DLL (kettrix-render.exe under Wine), and compares the two
# WAV files sample by sample. Fails unless they are bit-identical.
#
# Usage: compare-renders.sh <kettrix-render> <Kettrix4.so> <wine64>
#                           <kettrix-render.exe> <Kettrix4.dll> <work-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
render=$1 so=$2 wine=$3 render_exe=$4 dll=$5 work=$6
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The comparison program, built with the native compiler.
diff_tool=$work/wav_diff
if [ ! -x "$diff_tool" ] || [ "$here/wav_diff.cpp" -nt "$diff_tool" ]; then
  "${CXX:-c++}" -std=c++17 -O2 -Wall -Wextra -o "$diff_tool" "$here/wav_diff.cpp"
fi

# A short Standard MIDI File (format 0, 96 ticks per quarter, 120 BPM) with
# notes on two channels, several velocities and overlapping sounds: kick,
# snare, closed hi-hat, crash and perc.
write_midi() {
  local track=$work/track.bin
  printf '\x00\xff\x51\x03\x07\xa1\x20'   >  "$track"   # tempo 500000 us per quarter
  printf '\x00\x90\x24\x64'               >> "$track"   # kick, velocity 100
  printf '\x00\x99\x30\x7f'               >> "$track"   # snare on channel 10, 127
  printf '\x30\x80\x24\x00'               >> "$track"
  printf '\x00\x89\x30\x00'               >> "$track"
  printf '\x30\x90\x3c\x50'               >> "$track"   # closed hi-hat, 80
  printf '\x18\x90\x54\x40'               >> "$track"   # crash, 64
  printf '\x18\x90\x2a\x30'               >> "$track"   # perc, 48
  printf '\x60\x80\x3c\x00\x00\x80\x54\x00\x00\x80\x2a\x00' >> "$track"
  printf '\x00\xff\x2f\x00'               >> "$track"   # end of track
  local length
  length=$(stat -c %s "$track")
  {
    printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60'
    printf 'MTrk'
    printf "\\x$(printf %02x $((length >> 24 & 255)))\\x$(printf %02x $((length >> 16 & 255)))"
    printf "\\x$(printf %02x $((length >> 8 & 255)))\\x$(printf %02x $((length & 255)))"
    cat "$track"
  } > "$work/pattern.mid"
}
write_midi

# Wine reaches Unix absolute paths through drive Z:.
winpath() { echo "Z:$1"; }

status=0
compare() {
  local name=$1; shift
  "$render" "$so" "$@" --out "$work/$name-linux.wav" 2>/dev/null
  "$wine" "$render_exe" "$(winpath "$dll")" "${@/#$work/Z:$work}" --out "$(winpath "$work/$name-win64.wav")" 2>/dev/null
  printf '%-28s' "$name:"
  "$diff_tool" "$work/$name-linux.wav" "$work/$name-win64.wav" || status=1
}

compare midi-all-outputs --midi "$work/pattern.mid" --mix all --tail 1
compare midi-double --midi "$work/pattern.mid" --precision double --tail 1
compare demo-stereo --demo --tail 1
compare demo-48k-block-100 --demo --rate 48000 --block 100 --tail 1
exit $status
