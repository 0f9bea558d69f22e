# Writes a C++ source holding the bytes of a compiled resource file, for the Linux build.
# cmake -DINPUT=<file.res> -DOUTPUT=<file.cpp> -P embed_res.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated from ${name} by resources/embed_res.cmake at build time; do not edit.
#include <cstddef>

extern const unsigned char kEmbeddedRes[];
extern const std::size_t kEmbeddedResSize;

const unsigned char kEmbeddedRes[] = {
    ${bytes}
};
const std::size_t kEmbeddedResSize = sizeof(kEmbeddedRes);
")
