# Checks that #include lines point down the layers only.
#   cmake -DROOT=<source tree> -P CheckIncludes.cmake
# Layers, bottom to top: base; kit and engine (beside each other, neither
# sees the other); graphics (on the resource table only); editor (on
# graphics, kit and the few engine headers it drives); plugin, the
# composition layer. resources sits below everything. generators (build-time
# programs, never linked into the plug-in) may include every layer but plugin.
# tools, tests, benchmarks and fuzz may include anything. Inside the plug-in
# only the VST 2 adapter and the entry point include the VST 2 header.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckIncludes.cmake")
endif()

set(layers resources base kit engine graphics editor plugin generators)
set(unrestricted tools tests benchmarks fuzz)

set(allowed_resources resources)
set(allowed_base base)
set(allowed_kit base kit)
set(allowed_engine base engine resources)
set(allowed_graphics graphics resources)
set(allowed_editor base kit graphics resources editor)
set(allowed_plugin resources base kit engine graphics editor plugin)
set(allowed_generators resources base kit engine graphics editor generators)
# The engine headers the editor uses: the note router (keyboard previews),
# the envelope it draws, the engine's limits.
set(editor_engine_headers engine/NoteRouter.h engine/Envelope.h engine/EnvelopeShapes.h engine/EngineLimits.h)
set(vst2_header plugin/Vst2Abi.h)
set(vst2_users plugin/IPlugVST.h plugin/IPlugVST.cpp plugin/Instance.h plugin/Instance.cpp plugin/VstMain.cpp)
set(clap_header plugin/ClapAbi.h)
set(clap_users plugin/IPlugCLAP.h plugin/IPlugCLAP.cpp plugin/ClapMain.cpp)

set(violations "")
set(checked 0)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.hpp ${ROOT}/${layer}/*.cpp
       ${ROOT}/${layer}/*.c ${ROOT}/${layer}/*.inl)
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    get_filename_component(source_dir ${source} DIRECTORY)
    file(STRINGS ${ROOT}/${source} include_lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS include_lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
      # A path without a folder, or one that exists beside the includer, is
      # resolved from the includer's folder; other paths from the root.
      set(target "")
      if(EXISTS ${ROOT}/${source_dir}/${included} AND NOT IS_DIRECTORY ${ROOT}/${source_dir}/${included})
        file(RELATIVE_PATH target ${ROOT} ${ROOT}/${source_dir}/${included})
      elseif(included MATCHES "/")
        set(target ${included})
      else()
        continue()  # generated or system header
      endif()
      string(REGEX MATCH "^[^/]+" target_layer "${target}")
      if(NOT target_layer IN_LIST layers AND NOT target_layer IN_LIST unrestricted)
        continue()
      endif()
      set(ok FALSE)
      if(target_layer IN_LIST allowed_${layer})
        set(ok TRUE)
      elseif(layer STREQUAL "editor" AND target IN_LIST editor_engine_headers)
        set(ok TRUE)
      endif()
      if(target STREQUAL vst2_header AND NOT source IN_LIST vst2_users)
        string(APPEND violations "  ${source}: #include \"${included}\" (only the VST 2 adapter and the entry point)\n")
      elseif(target STREQUAL clap_header AND NOT source IN_LIST clap_users)
        string(APPEND violations "  ${source}: #include \"${included}\" (only the CLAP adapter and its entry point)\n")
      elseif(NOT ok)
        string(REPLACE ";" ", " allowed_text "${allowed_${layer}}")
        string(APPEND violations "  ${source}: #include \"${included}\" (${layer}/ may include ${allowed_text})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes against the layer order:\n${violations}")
endif()
message(STATUS "Include direction: ${checked} files checked, no include points up or sideways")
