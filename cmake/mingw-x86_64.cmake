# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, posix thread model: the build
# for hosts that cannot run Wine's 32-bit loader (scripts/target-arch.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
