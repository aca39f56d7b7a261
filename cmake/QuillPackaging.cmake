# What an operator hands out, as install components and CPack archives
# (ZIP for Windows, TGZ for Linux):
#   player     the updater and "ver_C": all a player needs to install the game
#   game-tree  the chain's programs, to be put into the game's build folder
#              before quill-publish: "ClientApp.exe" (the bootstrap),
#              "QuillLauncher.exe", the network library, "launcher.cfg" and
#              the updater once more as "QuillNewUpdate.exe"
#   sdk        QuillNTC for game clients: headers, library, import library,
#              the CMake package and a short example
# A release build (QUILL_RELEASE) refuses to configure without the
# deployment's settings, so that no package carries the example addresses.

option(QUILL_RELEASE "A release for a deployment: its settings are required" OFF)
set(QUILL_SERVER_LIST "" CACHE FILEPATH
    "Plain server list that the player's package carries enciphered as ver_C")
# Builds for development package two loopback mirrors.
set(quill_server_list ${QUILL_SERVER_LIST})
if(NOT QUILL_RELEASE AND NOT quill_server_list)
  set(quill_server_list ${PROJECT_SOURCE_DIR}/cmake/sample-servers.txt)
endif()

if(QUILL_RELEASE)
  set(missing "")
  foreach(setting QUILL_CRASHLOG_HOST QUILL_LAUNCHER_PAGE_URL QUILL_HOME_PAGE_URL)
    if("${${setting}}" MATCHES "\\.example(/|:|$)" OR "${${setting}}" STREQUAL "")
      list(APPEND missing ${setting})
    endif()
  endforeach()
  if(NOT QUILL_SERVER_LIST OR NOT EXISTS "${QUILL_SERVER_LIST}")
    list(APPEND missing QUILL_SERVER_LIST)
  endif()
  if(QUILL_PUBLISHER_KEY STREQUAL "")
    message(WARNING "This release has no QUILL_PUBLISHER_KEY: its updater takes unsigned "
      "mirrors and trusts whoever serves them (see the README's \"Signing a mirror\").")
  endif()
  if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "A release needs the deployment's settings; give ${missing} "
      "(-D NAME=VALUE), see the README's operator's path.")
  endif()
endif()

# player: the updater and the enciphered server list.
install(PROGRAMS $<TARGET_FILE:QuillUpdate> DESTINATION player
  RENAME QuillUpdate.exe COMPONENT player)
if(NOT WIN32)
  # The updater's window, which it loads from beside itself.
  install(FILES $<TARGET_FILE:quill_updater_window> DESTINATION player COMPONENT player)
endif()
if(quill_server_list)
  set(quill_ver_c ${CMAKE_BINARY_DIR}/package/ver_C)
  # A cross build runs its own quill-serverlist through the emulator.
  add_custom_command(OUTPUT ${quill_ver_c}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
    COMMAND quill-serverlist encode ${quill_server_list} ${quill_ver_c}
    DEPENDS quill-serverlist ${quill_server_list}
    COMMENT "Enciphering the server list into ver_C")
  add_custom_target(quill_ver_c ALL DEPENDS ${quill_ver_c})
  install(FILES ${quill_ver_c} DESTINATION player COMPONENT player)
endif()

# game-tree: the launch chain's programs under the names the chain uses.
set(quill_launcher_cfg ${CMAKE_BINARY_DIR}/package/launcher.cfg)
file(WRITE ${quill_launcher_cfg}
  "launcher_page=${QUILL_LAUNCHER_PAGE_URL}\nhome_page=${QUILL_HOME_PAGE_URL}\n")
install(PROGRAMS $<TARGET_FILE:QuillUpdate_bootstrap> DESTINATION game-tree
  RENAME ClientApp.exe COMPONENT game-tree)
install(PROGRAMS $<TARGET_FILE:QuillLauncher> DESTINATION game-tree
  RENAME QuillLauncher.exe COMPONENT game-tree)
install(PROGRAMS $<TARGET_FILE:QuillUpdate> DESTINATION game-tree
  RENAME QuillNewUpdate.exe COMPONENT game-tree)
if(NOT WIN32)
  # Every installation gets the window of the updater it runs.
  install(FILES $<TARGET_FILE:quill_updater_window> DESTINATION game-tree COMPONENT game-tree)
endif()
if(WIN32)
  install(FILES $<TARGET_FILE:QuillNTC> DESTINATION game-tree COMPONENT game-tree)
else()
  # The game client loads the library by its soname.
  install(FILES $<TARGET_FILE:QuillNTC> $<TARGET_SONAME_FILE:QuillNTC>
    DESTINATION game-tree COMPONENT game-tree)
endif()
install(FILES ${quill_launcher_cfg} DESTINATION game-tree COMPONENT game-tree)

# sdk: the library's own install rules (ntc/) name no component and land
# in this one; the example is the consumer the test suite builds.
install(FILES
  ${PROJECT_SOURCE_DIR}/tests/consumer/CMakeLists.txt
  ${PROJECT_SOURCE_DIR}/tests/consumer/main.cpp
  DESTINATION share/QuillNTC/example COMPONENT sdk)

set(CPACK_PACKAGE_NAME Quill)
set(CPACK_PACKAGE_VENDOR "Quill client package team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-x86_64)
endif()
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL player game-tree sdk)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/cpack)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
