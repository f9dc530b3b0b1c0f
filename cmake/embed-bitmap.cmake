# Derives the bitmap the program shows from a picture in the repository and
# writes it as a C++ array: a packed device-independent bitmap (the bitmap
# file without its 14-byte file header), uncompressed, which GDI draws as it is.
# Usage: cmake -DCONVERT=<ImageMagick convert> -DINPUT=<picture> -DOUTPUT=<.cpp>
#              -DNAME=<array name> -DHEADER=<header to include> -P embed-bitmap.cmake
foreach(var CONVERT INPUT OUTPUT NAME HEADER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed-bitmap.cmake: ${var} is not set")
  endif()
endforeach()

get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
set(bmp "${OUTPUT}.bmp")
execute_process(COMMAND "${CONVERT}" "${INPUT}" -compress None "BMP3:${bmp}"
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CONVERT} could not convert ${INPUT}: ${errors}")
endif()

file(READ "${bmp}" hex HEX)
file(REMOVE "${bmp}")
string(SUBSTRING "${hex}" 0 4 magic)
if(NOT magic STREQUAL "424d")
  message(FATAL_ERROR "${CONVERT} did not write a bitmap file for ${INPUT}")
endif()
string(SUBSTRING "${hex}" 28 -1 dib) # after BITMAPFILEHEADER
string(LENGTH "${dib}" digits)
math(EXPR bytes "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," dib "${dib}")
get_filename_component(source "${INPUT}" NAME)

file(WRITE "${OUTPUT}.tmp" "// Derived by the build from ${source}; not to be edited.
#include \"${HEADER}\"

namespace dovrel {

const unsigned char ${NAME}[] = {
    ${dib}
};
const std::size_t ${NAME}Size = ${bytes};

} // namespace dovrel
")
# Unchanged output keeps its time stamp, so nothing recompiles for nothing.
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
