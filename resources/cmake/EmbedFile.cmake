# Turns one data file into a C++ source that defines its bytes.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedFile.cmake
#
# The bytes are written as "\xHH" string literals of 32 bytes per line:
# compilers read string literals far faster than brace lists of numbers, so
# megabytes of data compile in a second. Whole-string regular expressions
# keep the script itself fast (a loop of substrings is quadratic in CMake).
# The array is one byte longer than the data for the literal's terminating
# zero; the size constant holds the true length.
if(NOT INPUT OR NOT OUTPUT OR NOT SYMBOL)
  message(FATAL_ERROR "EmbedFile.cmake needs INPUT, OUTPUT and SYMBOL")
endif()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
math(EXPR array_length "${byte_count} + 1")

string(REPEAT "[0-9a-f]" 64 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" literal "${hex}")
string(REPLACE "\n" "\"\n    \"" literal "${literal}")

file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.
#include <cstddef>

namespace kettrix::resources::embedded {
extern const unsigned char ${SYMBOL}[];
extern const std::size_t ${SYMBOL}_size;

const unsigned char ${SYMBOL}[${array_length}] =
    \"${literal}\";
const std::size_t ${SYMBOL}_size = ${byte_count};
}  // namespace kettrix::resources::embedded
")
# Only touch the output when it changed, so unchanged data is not recompiled.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
