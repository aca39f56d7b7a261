# The updater's window: a dialog from the program's resources on Windows,
# GTK 3 elsewhere (the artwork then built in from update/app/res).
if(WIN32)
  add_library(quill_ui_updater STATIC win32/ui_updater.cpp)
  target_link_libraries(quill_ui_updater PUBLIC quill_platform comctl32 uxtheme)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILL_GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  include(${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake)
  set(quill_updater_art ${PROJECT_SOURCE_DIR}/update/app/res)
  quill_embed_file(${CMAKE_CURRENT_BINARY_DIR}/ui_updater_banner.cpp
    ${quill_updater_art}/banner.bmp quill_updater_banner)
  quill_embed_file(${CMAKE_CURRENT_BINARY_DIR}/ui_updater_icon.cpp
    ${quill_updater_art}/quill.ico quill_updater_icon)
  add_library(quill_ui_updater STATIC
    posix/ui_updater.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/ui_updater_banner.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/ui_updater_icon.cpp)
  target_link_libraries(quill_ui_updater PUBLIC quill_platform PRIVATE PkgConfig::QUILL_GTK3)
endif()
quill_target_defaults(quill_ui_updater)
target_include_directories(quill_ui_updater PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>)
