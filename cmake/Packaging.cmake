# Debian packages of the Linux build, one per install component:
#   libtypedata1     the shared library
#   libtypedata-dev  headers, static library, CMake package, typedata.pc, docs
#   typedata         the tool, its man page and completion, the documents its help names
#   cd BUILD && cpack -G DEB
set(CPACK_PACKAGE_NAME typedata)
set(CPACK_PACKAGE_VENDOR "The typedata developers")
set(CPACK_PACKAGE_CONTACT "${TD_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's own description below starts with its summary line; a
# summary here would be put in front of all three.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed into /usr below DESTDIR, so that what is written when installing
# (typedata.pc, the man page's folder of documents) names /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
if(TARGET typedata_tool)
  list(APPEND CPACK_COMPONENTS_ALL tool)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtypedata${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "type-data service of a machine's operator interface
 The service keeps the types of a machine (numbered, named sets of machine
 settings) in type data files and a catalogue, loads a type into value
 memory and downloads it to the controller. The host program provides the
 host operations that the library calls.")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtypedata-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libtypedata${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_DESCRIPTION "type-data service of a machine's operator interface (development files)
 Headers (#include <typedata/typedata.h>), the static library, the CMake
 package (find_package(typedata)), typedata.pc, the README, the host
 integration guide, the API reference and a minimal host in C.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME typedata)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOL_DESCRIPTION "sets up, inspects and checks a machine's type data
 typedata is a host program on a simulated machine: it makes type trees,
 lists, adds, renames, switches, shows, changes, compares, checks, exports
 and imports types without the machine. With the documents its help names:
 the glossary, its JSON documents and the machine description format.")

include(CPack)
