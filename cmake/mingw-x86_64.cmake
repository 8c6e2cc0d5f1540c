# The same programs for 64-bit Windows: used for running the tests under a
# 64-bit-only Wine on machines whose kernel cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(GELMO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
