# Installs each package's component of a build into its own folder and
# checks that it holds exactly the files an operator hands out; the
# player's "ver_C" must give back the server list it was made from.
#   cmake -D BUILD_DIR=... -D WORK_DIR=... -D SUFFIX=.exe|"" -D EMULATOR=...
#         -D SERVER_LIST=... -P contents.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_command.cmake)

# The files of one component, relative to its folder, sorted.
function(component_files component out)
  set(prefix ${WORK_DIR}/${component})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${component} --prefix ${prefix})
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
  list(SORT files)
  set(${out} "${files}" PARENT_SCOPE)
endfunction()

function(expect_files component expected)
  component_files(${component} files)
  list(SORT expected)
  if(NOT "${files}" STREQUAL "${expected}")
    message(FATAL_ERROR "${component}: expected\n  ${expected}\nfound\n  ${files}")
  endif()
endfunction()

function(expect_same_bytes a b)
  file(SHA256 ${a} hash_a)
  file(SHA256 ${b} hash_b)
  if(NOT hash_a STREQUAL hash_b)
    message(FATAL_ERROR "${a} is not a copy of ${b}")
  endif()
endfunction()

if(SUFFIX STREQUAL ".exe")
  set(window "")
  set(library game-tree/QuillNTC.dll)
else()
  # The updater's window is a module beside it.
  set(window libquill_updater_window.so)
  file(GLOB library RELATIVE ${BUILD_DIR}/lib ${BUILD_DIR}/lib/libQuillNTC.so.*)
  list(TRANSFORM library PREPEND game-tree/)
  list(APPEND library game-tree/${window})
endif()
if(window)
  expect_files(player "player/QuillUpdate.exe;player/ver_C;player/${window}")
  expect_same_bytes(${WORK_DIR}/player/player/${window} ${BUILD_DIR}/bin/${window})
else()
  expect_files(player "player/QuillUpdate.exe;player/ver_C")
endif()
expect_files(game-tree "game-tree/ClientApp.exe;game-tree/QuillLauncher.exe;\
game-tree/QuillNewUpdate.exe;game-tree/launcher.cfg;${library}")

# The renamed programs are the built ones, byte for byte.
set(tree ${WORK_DIR}/game-tree/game-tree)
expect_same_bytes(${tree}/ClientApp.exe ${BUILD_DIR}/bin/QuillUpdate_bootstrap${SUFFIX})
expect_same_bytes(${tree}/QuillNewUpdate.exe ${BUILD_DIR}/bin/QuillUpdate${SUFFIX})
expect_same_bytes(${tree}/QuillLauncher.exe ${BUILD_DIR}/bin/QuillLauncher${SUFFIX})
expect_same_bytes(${WORK_DIR}/player/player/QuillUpdate.exe ${BUILD_DIR}/bin/QuillUpdate${SUFFIX})
file(STRINGS ${tree}/launcher.cfg settings)
list(LENGTH settings count)
if(NOT count EQUAL 2 OR NOT settings MATCHES "launcher_page=http.*;home_page=http")
  message(FATAL_ERROR "launcher.cfg holds: ${settings}")
endif()

# The server list comes back from ver_C as it went in.
run(${EMULATOR} ${BUILD_DIR}/bin/quill-serverlist${SUFFIX} decode ${WORK_DIR}/player/player/ver_C)
string(REPLACE "\r\n" "\n" decoded "${last_output}")
file(STRINGS ${SERVER_LIST} plain REGEX " / ")
foreach(line ${plain})
  string(REGEX REPLACE " .*" "" name "${line}")
  string(FIND "${decoded}" "${name}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "ver_C does not give back ${name}:\n${decoded}")
  endif()
endforeach()

component_files(sdk sdk)
foreach(needed include/QuillNTC/QuillNTC.h lib/cmake/QuillNTC/QuillNTCConfig.cmake
    lib/cmake/QuillNTC/QuillNTCTargets.cmake share/QuillNTC/example/CMakeLists.txt
    share/QuillNTC/example/main.cpp)
  if(NOT needed IN_LIST sdk)
    message(FATAL_ERROR "the SDK lacks ${needed}: ${sdk}")
  endif()
endforeach()
if(SUFFIX STREQUAL ".exe")
  set(binaries bin/QuillNTC.dll lib/libQuillNTC.dll.a)
else()
  set(binaries lib/libQuillNTC.so)
endif()
foreach(needed ${binaries})
  if(NOT needed IN_LIST sdk)
    message(FATAL_ERROR "the SDK lacks ${needed}: ${sdk}")
  endif()
endforeach()
# Nothing of the chain or the tests strays into the SDK.
foreach(file ${sdk})
  if(file MATCHES "QuillUpdate|ClientApp|QuillLauncher|_tests|ver_C")
    message(FATAL_ERROR "the SDK holds ${file}")
  endif()
endforeach()
message(STATUS "player, game-tree and sdk hold what they should")
