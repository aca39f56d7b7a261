# The bootstrap's window: a dialog from the program's resources on Windows,
# GTK 3 elsewhere (the artwork then built in from bootstrap/res).
if(WIN32)
  add_library(quill_ui_bootstrap STATIC win32/ui_bootstrap.cpp)
  target_link_libraries(quill_ui_bootstrap PUBLIC quill_platform comctl32 uxtheme)
else()
  find_package(PkgConfig REQUIRED)
  if(NOT TARGET PkgConfig::QUILL_GTK3)
    pkg_check_modules(QUILL_GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  endif()
  include(${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake)
  set(quill_bootstrap_art ${PROJECT_SOURCE_DIR}/bootstrap/res)
  quill_embed_file(${CMAKE_CURRENT_BINARY_DIR}/ui_bootstrap_banner.cpp
    ${quill_bootstrap_art}/banner.bmp quill_bootstrap_banner)
  quill_embed_file(${CMAKE_CURRENT_BINARY_DIR}/ui_bootstrap_icon.cpp
    ${quill_bootstrap_art}/bootstrap.ico quill_bootstrap_icon)
  add_library(quill_ui_bootstrap STATIC
    posix/ui_bootstrap.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/ui_bootstrap_banner.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/ui_bootstrap_icon.cpp)
  target_link_libraries(quill_ui_bootstrap PUBLIC quill_platform PRIVATE PkgConfig::QUILL_GTK3)
endif()
quill_target_defaults(quill_ui_bootstrap)
target_include_directories(quill_ui_bootstrap PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>)
