# Cross-compiling the Windows programs with mingw-w64.  The -posix compilers are
# used because GoogleTest needs std::mutex, which the -win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${GELMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GELMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${GELMO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GELMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the programs must run from any folder without mingw DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Test programs run under Wine; scripts/wine sets the prefix, locale and loader.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine")
# Release programs without their symbol tables: half the size to download.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
