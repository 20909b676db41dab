# Where Linux hosts look for each plug-in format: one row per format, read by
# the install rules (KettrixInstall.cmake) and by scripts/install.sh, which
# runs this file as a script (`cmake -P`) to print the rows.
#
# A row: format | build target | installed name | folders in the user's home
# | folders under an install prefix (space-separated, the first is the one
# a host is most likely to search).
#
# VST 2: Qtractor, REAPER, Bitwig and Carla search ~/.vst; Ardour searches
# ~/.lxvst (and not ~/.vst), and Carla both. System-wide the same names sit
# under lib/ of /usr or /usr/local.
# LV2: a bundle folder (its name ends in .lv2: the module and its Turtle
# files), built by a target that names the folder in its KETTRIX_BUNDLE_DIR
# property. Every LV2 host (through lilv: Ardour, Qtractor, Carla, jalv)
# searches ~/.lv2, /usr/local/lib/lv2 and /usr/lib/lv2 unless LV2_PATH says
# otherwise.
# CLAP: one module file. Linux hosts (Bitwig, REAPER, Qtractor) search
# ~/.clap and /usr/lib/clap (the CLAP entry header's standard folders), and
# the folders of CLAP_PATH.
set(KETTRIX_INSTALL_FORMATS
    "VST 2|Kettrix4|Kettrix4.so|.vst .lxvst|lib/vst lib/lxvst"
    "LV2|Kettrix4_lv2_bundle|Kettrix4.lv2|.lv2|lib/lv2"
    "CLAP|Kettrix4_clap|Kettrix4.clap|.clap|lib/clap"
)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(row IN LISTS KETTRIX_INSTALL_FORMATS)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${row}")
  endforeach()
endif()
