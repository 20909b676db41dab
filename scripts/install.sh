#!/usr/bin/env bash
# Builds the Kettrix 4 plug-in and installs it where Linux hosts find it.
#
# Usage: scripts/install.sh [--prefix DIR | --dir DIR] [--uninstall]
#   (no option)   ~/.vst/Kettrix4.so and ~/.lxvst/Kettrix4.so, the folders
#                 Ardour, Qtractor, REAPER, Bitwig and Carla search, the
#                 LV2 bundle ~/.lv2/Kettrix4.lv2 and ~/.clap/Kettrix4.clap
#   --prefix DIR  DIR/lib/vst, DIR/lib/lxvst, DIR/lib/lv2 and DIR/lib/clap
#                 (for example --prefix /usr/local, run as root, for every
#                 user; CLAP hosts search /usr/lib/clap, not /usr/local)
#   --dir DIR     the VST 2 module DIR/Kettrix4.so only, any folder your host
#                 is told to search
#   --uninstall   removes what the chosen option installs instead
# The build needs the packages of scripts/install-deps.sh (run it first as
# root, or let this script tell you what is missing).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; }

install_args=()
vst_dir=""
prefix=""
uninstall=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) [ $# -ge 2 ] || { usage >&2; exit 2; }
              prefix=$(realpath -m "$2"); install_args=(--prefix "$prefix"); shift 2 ;;
    --dir)    [ $# -ge 2 ] || { usage >&2; exit 2; }
              vst_dir=$(realpath -m "$2"); shift 2 ;;
    --uninstall) uninstall=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "install.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

command -v cmake >/dev/null || {
  echo "install.sh: 'cmake' is missing; install the build packages with scripts/install-deps.sh (as root)" >&2
  exit 1
}

# The installed files (a bundle: its folder), one per line: every format's
# name in every folder the chosen option gives it (the table is
# cmake/KettrixInstallFolders.cmake); --dir is for the VST 2 module only.
installed_files() {
  local format target name home_dirs prefix_dirs dir
  while IFS='|' read -r format target name home_dirs prefix_dirs; do
    if [ -n "$vst_dir" ]; then
      if [ "$format" = "VST 2" ]; then echo "$vst_dir/$name"; fi
    elif [ -n "$prefix" ]; then
      for dir in $prefix_dirs; do echo "$prefix/$dir/$name"; done
    else
      for dir in $home_dirs; do echo "$HOME/$dir/$name"; done
    fi
  done < <(cmake -P cmake/KettrixInstallFolders.cmake)
}

if [ "$uninstall" -eq 1 ]; then
  while read -r file; do
    if [ -d "$file" ] && [ "${file%.lv2}" != "$file" ]; then
      rm -rf "$file"
      echo "Removed $file"
    elif [ -e "$file" ]; then
      rm -f "$file"
      echo "Removed $file"
    else
      echo "Nothing to remove: $file does not exist"
    fi
  done < <(installed_files)
  exit 0
fi

for tool in c++ pkg-config; do
  command -v "$tool" >/dev/null || {
    echo "install.sh: '$tool' is missing; install the build packages with scripts/install-deps.sh (as root)" >&2
    exit 1
  }
done

# A build folder of its own: only the plug-in, optimised, no tests or tools.
build_dir=build-install
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKETTRIX_TESTS=OFF -DKETTRIX_TOOLS=OFF \
      -DKETTRIX_VST_DIR="$vst_dir" >/dev/null
# Every format's build target from the table that this build has (the LV2
# bundle needs the LV2 headers of scripts/install-deps.sh).
known_targets=$(cmake --build "$build_dir" --target help)
targets=()
while IFS='|' read -r _ target _; do
  if grep -Eq "(^|\.\.\. )$target(:|\$| )" <<<"$known_targets"; then targets+=("$target"); fi
done < <(cmake -P cmake/KettrixInstallFolders.cmake)
cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]}"
cmake --install "$build_dir" --component plugin "${install_args[@]}"

echo
while read -r file; do
  if [ -e "$file" ]; then echo "Installed $file"; fi
done < <(installed_files)
# Ardour searches no folder in the user's home unless told to.
if [ -z "$vst_dir$prefix" ] && [ -z "${LXVST_PATH:-}" ]; then
  echo "Ardour: add ~/.lxvst under Edit > Preferences > Plugins > VST (Linux VST Path),"
  echo "or install for every user: sudo scripts/install.sh --prefix /usr/local"
fi
# Folders no host searches by itself: say how to add them.
extra_dir=$vst_dir
case "$prefix" in "" | /usr | /usr/local) ;; *) extra_dir="$prefix/lib/vst" ;; esac
if [ -n "$extra_dir" ]; then
  case ":${VST_PATH:-}:${LXVST_PATH:-}:" in
    *":$extra_dir:"*) ;;
    *) echo "Hosts search ~/.vst, ~/.lxvst, /usr/lib/vst, /usr/local/lib/vst and the folders of VST_PATH"
       echo "(LXVST_PATH for some); add this one, e.g.: export VST_PATH=\"$extra_dir:\$VST_PATH\""
       echo "or in the host's own settings (README.md, per host)" ;;
  esac
fi
