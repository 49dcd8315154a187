# nlohmann/json is header-only and comes from Debian's nlohmann-json3-dev. The cross compiler
# must never see /usr/include itself (the host's C headers would shadow MinGW's), so a folder
# of our own in the build tree holds nothing but a link to the library's header folder.
set(TARVO_JSON_HEADERS /usr/include/nlohmann)
if(NOT EXISTS ${TARVO_JSON_HEADERS}/json.hpp)
  message(FATAL_ERROR "nlohmann/json.hpp not found: run scripts/setup.sh (Debian nlohmann-json3-dev)")
endif()
set(TARVO_JSON_INCLUDE ${CMAKE_BINARY_DIR}/include-json)
file(MAKE_DIRECTORY ${TARVO_JSON_INCLUDE})
if(NOT EXISTS ${TARVO_JSON_INCLUDE}/nlohmann)
  file(CREATE_LINK ${TARVO_JSON_HEADERS} ${TARVO_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()
add_library(tarvo_json INTERFACE)
target_include_directories(tarvo_json SYSTEM INTERFACE ${TARVO_JSON_INCLUDE})
