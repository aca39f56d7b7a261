# Cross build for 32-bit Windows with MinGW-w64 (posix thread model).
# Every .exe and .dll links its C and C++ run-times and winpthread statically,
# so it runs on a bare Windows installation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUILL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages may come from the MinGW root or from an install prefix given by
# CMAKE_PREFIX_PATH, such as an installed QuillNTC.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Sources are UTF-8; narrow text of the Windows build is code page 949.
# Doubles are computed in SSE registers, not the x87 unit's 80 bits, so date
# and number arithmetic rounds exactly as on the other target.
set(CMAKE_C_FLAGS_INIT "-finput-charset=UTF-8 -fexec-charset=CP949 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-finput-charset=UTF-8 -fexec-charset=CP949 -msse2 -mfpmath=sse")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
