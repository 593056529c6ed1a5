# Cross build of the same code for 64-bit Windows: the Windows tests run from
# it on a machine that cannot run 32-bit programs. What ships is the 32-bit
# build (mingw-i686.cmake).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(tovask_mingw_target x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
