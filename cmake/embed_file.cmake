# Run by scoutwell_embed at build time:
#   cmake -DINPUT=<file> -DSYMBOL=<name> -DSOURCE=<out.cpp> -DHEADER=<out.h> -P embed_file.cmake
foreach(var INPUT SYMBOL SOURCE HEADER)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "embed_file.cmake needs -D${var}=...")
    endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
    # C++ has no empty arrays: one byte stands in, and the span says 0.
    set(bytes "0x00,")
else()
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # CMake's expressions know no {n}: spell out 24 bytes a line.
    string(REPEAT "0x..," 24 line)
    string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
endif()

file(WRITE "${HEADER}" "// Generated from ${INPUT} by embed_file.cmake; do not edit.
#pragma once

#include <span>

std::span<const unsigned char> ${SYMBOL}();
")

file(WRITE "${SOURCE}" "// Generated from ${INPUT} by embed_file.cmake; do not edit.
#include \"${SYMBOL}.h\"

namespace {

const unsigned char bytes[] = {
    ${bytes}
};

} // namespace

std::span<const unsigned char> ${SYMBOL}() { return {bytes, ${size}}; }
")
