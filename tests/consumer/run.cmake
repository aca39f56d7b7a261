# Installs the build into a private prefix, builds the consumer against it
# and runs it in an empty folder.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_command.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -D CMAKE_PREFIX_PATH=${prefix} -D CMAKE_BUILD_TYPE=Release)
# A sanitizer build of the library needs a consumer built the same way; the
# flags of the library's build also carry the toolchain's static run-time.
if(CXX_FLAGS)
  list(APPEND configure "-D CMAKE_CXX_FLAGS=${CXX_FLAGS}")
endif()
if(LINKER_FLAGS)
  list(APPEND configure "-D CMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
endif()
if(TOOLCHAIN)
  list(APPEND configure -D CMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
run(${configure})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

file(MAKE_DIRECTORY ${WORK_DIR}/run)
file(GLOB program ${WORK_DIR}/build/ntc_consumer ${WORK_DIR}/build/ntc_consumer.exe)
execute_process(COMMAND ${EMULATOR} ${program}
  WORKING_DIRECTORY ${WORK_DIR}/run
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "consumer failed (${result}):\n${out}\n${err}")
endif()
message(STATUS "${out}")
