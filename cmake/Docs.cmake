# The API reference (Doxygen): `cmake --build BUILD --target docs` writes
# BUILD/docs/api/html (part of the default build where Doxygen is installed)
# and fails when an exported operation is undocumented.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Doxyfile.in ${CMAKE_BINARY_DIR}/docs/Doxyfile @ONLY)
file(GLOB TD_DOCUMENTED_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/exports/*.h)
set(stamp ${CMAKE_BINARY_DIR}/docs/api/documented.stamp)
add_custom_command(
  OUTPUT ${stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs/api
  COMMAND ${DOXYGEN_EXECUTABLE} ${CMAKE_BINARY_DIR}/docs/Doxyfile
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-api-docs ${CMAKE_BINARY_DIR}/docs/api/xml
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS ${TD_DOCUMENTED_HEADERS} ${CMAKE_SOURCE_DIR}/src/exports/typedata.def ${CMAKE_SOURCE_DIR}/docs/api/mainpage.md
          ${CMAKE_SOURCE_DIR}/src/host/host.h ${CMAKE_SOURCE_DIR}/src/model/records.h
          ${CMAKE_SOURCE_DIR}/cmake/doxygen-filter ${CMAKE_BINARY_DIR}/docs/Doxyfile
  COMMENT "API reference (Doxygen)")
# Part of every build where Doxygen is installed: a few seconds.
add_custom_target(docs ALL DEPENDS ${stamp})
