# quill_embed_file(OUTPUT SOURCE SYMBOL): writes a C++ source that defines
# `const unsigned char SYMBOL[]` with the bytes of SOURCE and
# `const unsigned long SYMBOL_size`. Reconfigures when SOURCE changes.
function(quill_embed_file output source symbol)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  file(CONFIGURE OUTPUT ${output} CONTENT
"// Generated from ${source}; do not edit.
extern const unsigned char ${symbol}[];
extern const unsigned long ${symbol}_size;
const unsigned char ${symbol}[] = {
${bytes}
};
const unsigned long ${symbol}_size = ${size};
")
endfunction()
