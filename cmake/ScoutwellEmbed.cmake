# Builds a file into a target as a byte array, converted at build time so that
# the program always carries the file as it is in the source tree.
#
#   scoutwell_embed(<target> <Symbol> <file>)
#
# gives the target's sources a function
#
#   std::span<const unsigned char> <Symbol>();   // declared in "<Symbol>.h"
#
# that returns the file's bytes. A relative <file> is taken from the current
# source folder.

set(SCOUTWELL_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file.cmake)

function(scoutwell_embed target symbol file)
    get_filename_component(input "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/embedded)
    set(source ${folder}/${symbol}.cpp)
    set(header ${folder}/${symbol}.h)
    add_custom_command(
        OUTPUT ${source} ${header}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DSYMBOL=${symbol} -DSOURCE=${source} -DHEADER=${header}
                -P ${SCOUTWELL_EMBED_SCRIPT}
        DEPENDS ${input} ${SCOUTWELL_EMBED_SCRIPT}
        COMMENT "Embedding ${file} as ${symbol}()"
        VERBATIM)
    target_sources(${target} PRIVATE ${source} ${header})
    target_include_directories(${target} PRIVATE ${folder})
endfunction()
