# LZ4 from Debian's source package, unpacked by scripts/setup.sh into the deps folder: only
# its block format is used (lib/lz4.c), compiled as part of our build.
set(TARVO_LZ4_DIR ${TARVO_DEPS_DIR}/lz4/lib)
if(NOT EXISTS ${TARVO_LZ4_DIR}/lz4.c)
  message(FATAL_ERROR "lz4 not found in ${TARVO_LZ4_DIR}: run scripts/setup.sh")
endif()
add_library(tarvo_lz4 STATIC ${TARVO_LZ4_DIR}/lz4.c)
# Its headers are someone else's: their warnings are not ours to fix.
target_include_directories(tarvo_lz4 SYSTEM PUBLIC ${TARVO_LZ4_DIR})
