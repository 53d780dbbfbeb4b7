# What `cmake --install` puts where, in three components that CPack turns
# into three .deb packages: runtime (the shared library), dev (headers,
# static library, CMake package, typedata.pc, docs, examples) and tool.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/typedata)
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

set(TD_PUBLIC_HEADERS
    ${CMAKE_BINARY_DIR}/include/typedata_version.h
    ${CMAKE_SOURCE_DIR}/src/model/records.h
    ${CMAKE_SOURCE_DIR}/src/host/host.h
    ${CMAKE_SOURCE_DIR}/src/host/windows_types.h)
file(GLOB TD_EXPORT_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/exports/*.h)
install(FILES ${TD_PUBLIC_HEADERS} ${TD_EXPORT_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/typedata COMPONENT dev)

# find_package(typedata): targets typedata::typedata and typedata::typedata_static.
install(EXPORT typedataTargets NAMESPACE typedata:: DESTINATION ${TD_INSTALL_CMAKEDIR} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/typedataConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/typedataConfig.cmake INSTALL_DESTINATION ${TD_INSTALL_CMAKEDIR})
# A host built against 1.x works with every later 1.y.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/typedataConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/typedataConfig.cmake ${CMAKE_BINARY_DIR}/typedataConfigVersion.cmake
        DESTINATION ${TD_INSTALL_CMAKEDIR} COMPONENT dev)

# pkg-config typedata; the C++ runtime in Libs.private for a static link.
# The prefix is found from the file's own place, so the same file serves an
# install into any prefix, the .deb and an unpacked package.
file(RELATIVE_PATH TD_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${kind}})
    set(TD_PC_${kind} ${CMAKE_INSTALL_${kind}})
  else()
    set(TD_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
string(APPEND TD_PC_INCLUDEDIR /typedata)
configure_file(${CMAKE_CURRENT_LIST_DIR}/typedata.pc.in ${CMAKE_BINARY_DIR}/typedata.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/typedata.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/docs/host-integration.md
        DESTINATION ${TD_INSTALL_DOCDIR} COMPONENT dev)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/minimal_host DESTINATION ${TD_INSTALL_DOCDIR}/examples COMPONENT dev)
if(TD_WITH_DOCS)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/api/html/ DESTINATION ${TD_INSTALL_DOCDIR}/api COMPONENT dev
          OPTIONAL)
endif()

# The tool, with its man page and bash completion where the build makes them.
if(TARGET typedata_tool)
  install(TARGETS typedata_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/machine-description.md DESTINATION ${TD_INSTALL_DOCDIR} COMPONENT tool)
  # Made by the tool's build (typedata_shell_files) under BUILD/share; the
  # man page only where help2man is installed.
  if(TARGET typedata_shell_files)
    install(FILES ${CMAKE_BINARY_DIR}/share/bash-completion/completions/typedata
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT tool)
    install(FILES ${CMAKE_BINARY_DIR}/share/man/man1/typedata.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT tool OPTIONAL)
  endif()
endif()
