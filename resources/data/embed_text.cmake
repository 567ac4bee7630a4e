# Writes the bytes of INPUT into OUTPUT as a C++ array NAME, ending in a zero that the size
# SIZE_NAME leaves out. Run at build time, so that an edit of the text is built in.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
file(WRITE "${OUTPUT}"
"// Made at build time from ${INPUT}.\n"
"#include <cstddef>\n\n"
"extern const char ${NAME}[] = {\n    ${bytes}'\\0'};\n"
"extern const size_t ${SIZE_NAME} = ${size};\n")
