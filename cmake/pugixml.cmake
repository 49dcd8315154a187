# pugixml from Debian's source package, unpacked by scripts/setup.sh into the deps folder:
# its one source file compiles as part of our build. Documents are read and written as bytes
# through our own file layer, so pugixml never opens a file itself.
set(TARVO_PUGIXML_DIR ${TARVO_DEPS_DIR}/pugixml/src)
if(NOT EXISTS ${TARVO_PUGIXML_DIR}/pugixml.cpp)
  message(FATAL_ERROR "pugixml not found in ${TARVO_PUGIXML_DIR}: run scripts/setup.sh")
endif()
add_library(tarvo_pugixml STATIC ${TARVO_PUGIXML_DIR}/pugixml.cpp)
target_compile_definitions(tarvo_pugixml PUBLIC PUGIXML_NO_EXCEPTIONS)
# Its headers are someone else's: their warnings are not ours to fix.
target_include_directories(tarvo_pugixml SYSTEM PUBLIC ${TARVO_PUGIXML_DIR})
