# Cross build of the 32-bit Windows program with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(tovask_mingw_target i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
