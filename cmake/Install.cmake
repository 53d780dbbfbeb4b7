# What `cmake --install` puts where, in three components that CPack turns
# into three .deb packages: runtime (the shared library), dev (headers,
# static library, CMake package, typedata.pc, docs, examples) and tool (the
# tool, its man page, completion and the documents its help names).

# Libraries go to the multiarch folder where the system has one
# (lib/x86_64-linux-gnu on Debian), whatever the prefix: GNUInstallDirs
# chooses it only for a build configured with the prefix /usr, while the
# packages are made from builds of any prefix.
# A folder given on the command line stays; GNUInstallDirs' own "lib" (also
# in a cache from before this rule) gives way.
if(NOT WIN32 AND CMAKE_LIBRARY_ARCHITECTURE)
  get_property(help CACHE CMAKE_INSTALL_LIBDIR PROPERTY HELPSTRING)
  if(NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR} OR help STREQUAL "Object code libraries (lib)")
    set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}
        CACHE PATH "Object code libraries (the system's multiarch folder)" FORCE)
  endif()
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/typedata)
# The documents keep the source tree's layout below this folder (README.md,
# CHANGELOG.md, LICENSE, docs/, examples/), so their links between each
# other hold once installed; the API reference goes to its api/ folder.
set(TD_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/typedata)

install(TARGETS typedata EXPORT typedataTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(TARGETS typedata_static EXPORT typedataTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
if(WIN32)
  # typedata.dll imports the host operations from the host's mmisim.dll:
  # ours, the simulated host, comes along.
  install(TARGETS mmisim EXPORT typedataTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
  install(FILES ${CMAKE_SOURCE_DIR}/src/exports/typedata.def DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
endif()

# The public headers share one folder, include/typedata/, and name each
# other by their plain names; a host puts include/ on its path and writes
# #include <typedata/typedata.h>. In the build tree the same name reaches
# the sources through small forwarding headers in BUILD/include/typedata/.
set(TD_PUBLIC_HEADERS
    ${CMAKE_BINARY_DIR}/include/typedata_version.h
    ${CMAKE_SOURCE_DIR}/src/model/records.h
    ${CMAKE_SOURCE_DIR}/src/host/host.h
    ${CMAKE_SOURCE_DIR}/src/host/windows_types.h)
file(GLOB TD_EXPORT_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/exports/*.h)
install(FILES ${TD_PUBLIC_HEADERS} ${TD_EXPORT_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/typedata COMPONENT dev)
foreach(header ${TD_PUBLIC_HEADERS} ${TD_EXPORT_HEADERS})
  get_filename_component(name ${header} NAME)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/include/typedata/${name}
       CONTENT "/* Made by the build: <typedata/${name}> in the build tree. */\n#include \"${header}\"\n")
endforeach()

# find_package(typedata): targets typedata::typedata and typedata::typedata_static.
install(EXPORT typedataTargets NAMESPACE typedata:: DESTINATION ${TD_INSTALL_CMAKEDIR} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/typedataConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/typedataConfig.cmake INSTALL_DESTINATION ${TD_INSTALL_CMAKEDIR})
# A host built against 1.x works with every later 1.y.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/typedataConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/typedataConfig.cmake ${CMAKE_BINARY_DIR}/typedataConfigVersion.cmake
        DESTINATION ${TD_INSTALL_CMAKEDIR} COMPONENT dev)

# pkg-config typedata; the C++ runtime in Libs.private for a static link.
# Written when installing, with the prefix installed into (/usr for the
# packages, which CPack installs with DESTDIR), so that its paths are plain
# ones: -I/usr/include, not a path through the pkgconfig folder.
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${kind}})
    set(TD_PC_${kind} ${CMAKE_INSTALL_${kind}})
  else()
    set(TD_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
set(TD_PC_PREFIX @TD_PC_PREFIX@) # put in when installing
configure_file(${CMAKE_CURRENT_LIST_DIR}/typedata.pc.in ${CMAKE_BINARY_DIR}/typedata.pc.in @ONLY)
install(CODE "
  set(TD_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_BINARY_DIR}/typedata.pc.in\" \"${CMAKE_BINARY_DIR}/typedata.pc\" @ONLY)"
  COMPONENT dev)
install(FILES ${CMAKE_BINARY_DIR}/typedata.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# The documents. Every one that the README or the tool's help names is
# installed: the guides with the library's development files, the documents
# of the tool's help (glossary, JSON documents, machine descriptions) with
# the tool.
set(TD_TOOL_DOCS docs/glossary.md docs/json.md docs/machine-description.md)
set(TD_DEV_DOCS README.md CHANGELOG.md LICENSE docs/host-integration.md docs/reliability.md docs/performance.md)
foreach(doc ${TD_DEV_DOCS})
  get_filename_component(folder ${doc} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/${doc} DESTINATION ${TD_INSTALL_DOCDIR}/${folder} COMPONENT dev)
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${TD_INSTALL_DOCDIR}/docs COMPONENT dev)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/minimal_host DESTINATION ${TD_INSTALL_DOCDIR}/examples COMPONENT dev)
if(TD_WITH_DOCS)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/api/html/ DESTINATION ${TD_INSTALL_DOCDIR}/api COMPONENT dev)
endif()

# The tool, with its man page and bash completion where the build makes them.
if(TARGET typedata_tool)
  install(TARGETS typedata_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  foreach(doc ${TD_TOOL_DOCS})
    install(FILES ${CMAKE_SOURCE_DIR}/${doc} DESTINATION ${TD_INSTALL_DOCDIR}/docs COMPONENT tool)
  endforeach()
  # The help names the documents where they are installed: it finds them from
  # its own place through this folder (bin/../share/doc/typedata/docs, or the
  # Windows zip's ../docs), else names them under the configured prefix.
  file(RELATIVE_PATH TD_DOCS_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TD_INSTALL_DOCDIR}/docs)
  set(TD_DOCS_FOLDER ${CMAKE_INSTALL_FULL_DATADIR}/doc/typedata/docs)
  target_compile_definitions(typedata_tool PRIVATE TD_DOCS_FROM_BIN="${TD_DOCS_FROM_BIN}"
                                                   TD_DOCS_FOLDER="${TD_DOCS_FOLDER}")
  # Made by the tool's build (typedata_shell_files) under BUILD/share; the
  # man page only where help2man is installed. The man page is made from the
  # help of the tool in the build tree, which names the configured folder:
  # installing puts the folder of the prefix installed into in its place.
  if(TARGET typedata_shell_files)
    install(FILES ${CMAKE_BINARY_DIR}/share/bash-completion/completions/typedata
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT tool)
    install(CODE "
      set(page \"${CMAKE_BINARY_DIR}/share/man/man1/typedata.1\")
      if(EXISTS \"\${page}\")
        file(READ \"\${page}\" text)
        string(REPLACE \"${TD_DOCS_FOLDER}\" \"\${CMAKE_INSTALL_PREFIX}/${TD_INSTALL_DOCDIR}/docs\" text \"\${text}\")
        file(WRITE \"${CMAKE_BINARY_DIR}/share/man/installed/typedata.1\" \"\${text}\")
      endif()"
      COMPONENT tool)
    install(FILES ${CMAKE_BINARY_DIR}/share/man/installed/typedata.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT tool OPTIONAL)
  endif()
endif()
