# Writes a C++ source that defines a file's bytes as a constant array:
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=kName -DHEADER=header.h -P embed_file.cmake
# The array is declared in HEADER (namespace tarvex) together with NAME##Size.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated at build time from ${input_name}; do not edit.
#include \"${HEADER}\"

namespace tarvex {

const std::uint8_t ${NAME}[] = {
    ${bytes}
};
const std::size_t ${NAME}Size = sizeof(${NAME});

} // namespace tarvex
")
