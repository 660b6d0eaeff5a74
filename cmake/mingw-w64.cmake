# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIB_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZIB_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIB_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIB_MINGW_PREFIX}-windres)

# The libraries tools/setup.sh cross-builds from Debian's sources are found
# beside the toolchain's own.
set(CMAKE_FIND_ROOT_PATH /usr/${ZIB_MINGW_PREFIX} ${CMAKE_CURRENT_LIST_DIR}/../build/third-party/mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static executables run under Wine and on Windows with no DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
