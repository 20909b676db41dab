# Build step: writes a C++ source holding the text of every factory kit file
# as a byte array, so the kits are part of the library on every platform
# (nothing is read from disk at run time).
# Usage: cmake -DOUTPUT=<file.cpp> -DKIT_FILES=<a.kit;b.kit;...> -P EmbedKitTexts.cmake
list(SORT KIT_FILES)
set(arrays "")
set(table "")
set(index 0)
foreach(kit_file ${KIT_FILES})
  file(READ ${kit_file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  get_filename_component(name ${kit_file} NAME)
  string(APPEND arrays "const unsigned char kText${index}[] = {${bytes}0x00};\n")
  string(APPEND table "    {\"${name}\", reinterpret_cast<const char*>(kText${index}), sizeof kText${index} - 1},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(content "// Generated from kit/factory/*.kit by EmbedKitTexts.cmake; do not edit.
#include \"kit/FactoryKits.h\"

namespace kettrix::kit {
namespace {
${arrays}
const FactoryKitSource kSources[] = {
${table}};
}  // namespace

std::span<const FactoryKitSource> factoryKitSources() { return kSources; }

}  // namespace kettrix::kit
")
file(WRITE ${OUTPUT}.tmp "${content}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
