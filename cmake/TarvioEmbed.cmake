# tarvio_embed_file(LIBRARY SYMBOL FILE): compiles FILE's bytes into LIBRARY's Windows sources as
#   extern const unsigned char SYMBOL[]; extern const int32_t SYMBOL##Size;
# in namespace Tarvio. The file is read when CMake configures, and a change to it reconfigures.
function(tarvio_embed_file library symbol file)
  set(path ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  file(READ ${path} hex HEX)
  file(SIZE ${path} size)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  file(CONFIGURE OUTPUT ${output} CONTENT "// Generated from ${file}.
#include <cstdint>
namespace Tarvio {
extern const unsigned char ${symbol}[];
extern const int32_t ${symbol}Size;
const unsigned char ${symbol}[] = {
    ${bytes}
};
const int32_t ${symbol}Size = ${size};
} // namespace Tarvio
")
  set_property(GLOBAL APPEND PROPERTY TARVIO_SOURCES_${library} ${output})
endfunction()
