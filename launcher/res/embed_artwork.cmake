# Writes the launcher's pictures into C++ source for systems without a
# resource section:
#   cmake -D ART_DIR=... -D OUTPUT=.../launcher_artwork.cpp -P embed_artwork.cmake
# Each entry is "id:file name" in ART_DIR.
set(entries
  "129:background.bmp"
  "134:strip_normal.bmp"
  "135:strip_start.bmp"
  "136:strip_quit.bmp"
  "137:strip_homepage.bmp"
  "138:launcher.ico")

set(body "// Generated from the launcher's artwork; do not edit.\n#include \"launcher_artwork.h\"\n\nnamespace {\n")
set(table "")
set(index 0)
foreach(entry IN LISTS entries)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 id)
  list(GET parts 1 name)
  file(READ "${ART_DIR}/${name}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
  string(APPEND body "const unsigned char kData${index}[] = {\n${bytes}\n};\n")
  string(APPEND table "    {${id}, kData${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "} // namespace\n\nconst qp::launcher_resource g_launcher_artwork[] = {\n${table}};\nconst size_t g_launcher_artwork_count = ${index};\n")
file(WRITE "${OUTPUT}" "${body}")
