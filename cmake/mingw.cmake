# Shared by the MinGW-w64 toolchain files, which name the target first. The
# -posix compilers are used because GoogleTest needs std::mutex.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${tovask_mingw_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tovask_mingw_target}-g++-posix)
set(CMAKE_RC_COMPILER ${tovask_mingw_target}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tovask_mingw_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
