# Derives the bitmap the program shows from a picture in the repository and
# writes it as a C++ array: a packed device-independent bitmap (the bitmap
# file without its 14-byte file header), uncompressed, which GDI draws as it is.
# A bitmap GDI could not draw so is refused here, so the program need not check.
# Beside the array: its width, height and where its pixels begin.
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

# The little-endian unsigned field of `size` bytes at `offset` of the bitmap.
function(field out offset size)
  set(value "")
  math(EXPR end "(${offset} + ${size}) * 2")
  if(end LESS_EQUAL digits)
    foreach(i RANGE 1 ${size})
      math(EXPR at "(${offset} + ${size} - ${i}) * 2")
      string(SUBSTRING "${dib}" ${at} 2 byte)
      string(APPEND value "${byte}")
    endforeach()
    math(EXPR value "0x${value}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
function(refuse why)
  message(FATAL_ERROR "NOT A BITMAP GDI DRAWS AS IT IS: ${why} (${INPUT})")
endfunction()

if(bytes LESS 40)
  refuse("${bytes} bytes, too few for a header")
endif()
field(header_size 0 4)
field(width 4 4)
field(height 8 4)
field(planes 12 2)
field(bits 14 2)
field(compression 16 4)
field(colours_used 32 4)
if(NOT header_size STREQUAL "40")
  refuse("not an uncompressed information header of 40 bytes")
endif()
if(height GREATER_EQUAL 2147483648)
  math(EXPR height "4294967296 - ${height}") # top-down: the size is what counts
endif()
if(width EQUAL 0 OR width GREATER_EQUAL 2147483648 OR height EQUAL 0 OR NOT planes EQUAL 1)
  refuse("width ${width}, height ${height}, planes ${planes}")
endif()
if(NOT compression EQUAL 0)
  refuse("compressed (method ${compression})")
endif()
if(NOT bits MATCHES "^(1|4|8|24|32)$")
  refuse("${bits} bits per pixel")
endif()
set(colours ${colours_used})
if(bits LESS_EQUAL 8 AND colours EQUAL 0)
  math(EXPR colours "1 << ${bits}")
endif()
math(EXPR pixel_offset "40 + ${colours} * 4")
math(EXPR needed "${pixel_offset} + (${width} * ${bits} + 31) / 32 * 4 * ${height}")
if(colours GREATER 256 OR needed GREATER bytes)
  refuse("${bytes} bytes, where ${colours} colours and the pixels need ${needed}")
endif()

string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," dib "${dib}")
get_filename_component(source "${INPUT}" NAME)

file(WRITE "${OUTPUT}.tmp" "// Derived by the build from ${source}; not to be edited.
#include \"${HEADER}\"

namespace dovrel {

const unsigned char ${NAME}[] = {
    ${dib}
};
const std::size_t ${NAME}Size = ${bytes};
const int ${NAME}Width = ${width};
const int ${NAME}Height = ${height};
const std::size_t ${NAME}PixelOffset = ${pixel_offset};

} // namespace dovrel
")
# Unchanged output keeps its time stamp, so nothing recompiles for nothing.
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
