#!/usr/bin/env bash
# Builds the Kettrix 4 plug-in and installs it where Linux VST 2 hosts find it.
#
# Usage: scripts/install.sh [--prefix DIR | --dir DIR] [--uninstall]
#   (no option)   ~/.vst/Kettrix4.so, the folder most Linux hosts search
#   --prefix DIR  DIR/lib/vst/Kettrix4.so (for example --prefix /usr/local,
#                 run as root, for every user of the machine)
#   --dir DIR     DIR/Kettrix4.so, any folder your host is told to search
#   --uninstall   removes Kettrix4.so from the chosen folder instead
# The build needs the packages of scripts/install-deps.sh (run it first as
# root, or let this script tell you what is missing).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; }

install_args=()
vst_dir=""
target_dir="$HOME/.vst"
uninstall=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) [ $# -ge 2 ] || { usage >&2; exit 2; }
              install_args=(--prefix "$(realpath -m "$2")"); target_dir="$(realpath -m "$2")/lib/vst"; shift 2 ;;
    --dir)    [ $# -ge 2 ] || { usage >&2; exit 2; }
              vst_dir=$(realpath -m "$2"); target_dir=$vst_dir; shift 2 ;;
    --uninstall) uninstall=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "install.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

if [ "$uninstall" -eq 1 ]; then
  if [ -f "$target_dir/Kettrix4.so" ]; then
    rm -f "$target_dir/Kettrix4.so"
    echo "Removed $target_dir/Kettrix4.so"
  else
    echo "Nothing to remove: $target_dir/Kettrix4.so does not exist"
  fi
  exit 0
fi

for tool in cmake c++ pkg-config; do
  command -v "$tool" >/dev/null || {
    echo "install.sh: '$tool' is missing; install the build packages with scripts/install-deps.sh (as root)" >&2
    exit 1
  }
done

# A build folder of its own: only the plug-in, optimised, no tests or tools.
build_dir=build-install
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKETTRIX_TESTS=OFF -DKETTRIX_TOOLS=OFF \
      -DKETTRIX_VST_DIR="$vst_dir" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target Kettrix4
cmake --install "$build_dir" --component plugin "${install_args[@]}"

echo
echo "Installed $target_dir/Kettrix4.so"
case ":${VST_PATH:-}:${LXVST_PATH:-}:" in
  *":$target_dir:"*) ;;
  *) if [ "$target_dir" != "$HOME/.vst" ] && [ "$target_dir" != /usr/lib/vst ] && [ "$target_dir" != /usr/local/lib/vst ]; then
       echo "Hosts look in ~/.vst, /usr/lib/vst and /usr/local/lib/vst, and in the folders of VST_PATH"
       echo "(LXVST_PATH for some hosts); add this one, e.g.: export VST_PATH=\"$target_dir:\$VST_PATH\""
     fi ;;
esac
