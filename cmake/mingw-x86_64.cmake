# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, posix thread model: the build
# for hosts that cannot run Wine's 32-bit loader (scripts/target-arch.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARGET_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TARGET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARGET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARGET_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARGET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
