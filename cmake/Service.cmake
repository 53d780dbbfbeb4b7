# The service library: every exported operation, no host code.

file(GLOB TD_SERVICE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/*/*.cpp
  ${CMAKE_SOURCE_DIR}/src/*/*.c)
if(WIN32)
  list(FILTER TD_SERVICE_SOURCES EXCLUDE REGEX "/src/platform/posix_[^/]*$")
else()
  list(FILTER TD_SERVICE_SOURCES EXCLUDE REGEX "/src/platform/win32_[^/]*$")
endif()

# The version header, made from the one version number in CMakeLists.txt.
configure_file(${CMAKE_CURRENT_LIST_DIR}/typedata_version.h.in ${CMAKE_BINARY_DIR}/include/typedata_version.h @ONLY)

set(TD_PUBLIC_INCLUDE_DIRS
  ${CMAKE_SOURCE_DIR}/src/exports
  ${CMAKE_SOURCE_DIR}/src/model
  ${CMAKE_SOURCE_DIR}/src/host
  ${CMAKE_BINARY_DIR}/include)
# Installed, the public headers share one folder, include/typedata/: hosts
# put include/ on their path and write <typedata/typedata.h>.
set(TD_INCLUDE_INTERFACE $<INSTALL_INTERFACE:include>)
foreach(dir ${TD_PUBLIC_INCLUDE_DIRS})
  list(APPEND TD_INCLUDE_INTERFACE $<BUILD_INTERFACE:${dir}>)
endforeach()

add_library(typedata_objects OBJECT ${TD_SERVICE_SOURCES})

# fast_float (header-only, Debian's libfast-float-dev) reads the numbers of
# type data files; the cross build takes it staged from the same package.
if(WIN32)
  td_stage_headers(fast_float fast_float/fast_float.h found)
  target_include_directories(typedata_objects SYSTEM PRIVATE ${TD_STAGED_INCLUDE})
else()
  find_path(TD_FAST_FLOAT_INCLUDE fast_float/fast_float.h)
  set(found ${TD_FAST_FLOAT_INCLUDE})
endif()
if(NOT found)
  message(FATAL_ERROR "typedata: the library needs fast_float's headers: install libfast-float-dev (Debian)")
endif()
target_include_directories(typedata_objects
  PUBLIC ${TD_PUBLIC_INCLUDE_DIRS}
  PRIVATE ${CMAKE_SOURCE_DIR}/src)
# Only the exported operations (TD_EXPORT) are visible outside the library.
set_target_properties(typedata_objects PROPERTIES POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden
                                                  C_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The static library: what tests, tools and a host that brings its own host
# operations link.
add_library(typedata_static STATIC $<TARGET_OBJECTS:typedata_objects>)
target_include_directories(typedata_static PUBLIC ${TD_INCLUDE_INTERFACE})
set_target_properties(typedata_static PROPERTIES OUTPUT_NAME typedata EXPORT_NAME typedata_static)
if(NOT WIN32)
  # A C program that links the static library needs the C++ runtime.
  target_link_libraries(typedata_static INTERFACE $<INSTALL_INTERFACE:stdc++;m>)
endif()

if(WIN32)
  # typedata.dll: the exports by their plain names, the host operations
  # imported from the host's DLL, the rest from Windows.
  add_library(typedata SHARED $<TARGET_OBJECTS:typedata_objects> ${CMAKE_SOURCE_DIR}/src/exports/typedata.def)
  target_link_libraries(typedata PRIVATE mmisim user32 gdi32 kernel32)
  set_target_properties(typedata PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
else()
  # libtypedata.so leaves the host operations unresolved until a host
  # provides them, and exports the names of the .def and nothing else (a
  # version script made from it): no C++ symbol of ours or of the standard
  # library. SOVERSION is the major version: it rises with every change
  # that breaks a host built against an earlier release.
  file(READ ${CMAKE_SOURCE_DIR}/src/exports/typedata.def def_text)
  string(REGEX MATCHALL "\n[ \t]+[A-Za-z_][A-Za-z_0-9]*" def_names "${def_text}")
  set(version_script "/* Made from typedata.def by the build. */\n{\n  global:\n")
  foreach(line ${def_names})
    string(STRIP "${line}" name)
    string(APPEND version_script "    ${name};\n")
  endforeach()
  string(APPEND version_script "  local:\n    *;\n};\n")
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/typedata.map CONTENT "${version_script}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/exports/typedata.def)
  add_library(typedata SHARED $<TARGET_OBJECTS:typedata_objects>)
  # -Bsymbolic-functions: the library's own calls of its exports (token
  # calls trim) bind to its own functions, not to a host function of the
  # same name, as within typedata.dll. The host operations, which the
  # library only calls, stay the host's.
  target_link_options(typedata PRIVATE -Wl,--version-script=${CMAKE_BINARY_DIR}/typedata.map
                      -Wl,-Bsymbolic-functions)
  set_target_properties(typedata PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                            LINK_DEPENDS ${CMAKE_BINARY_DIR}/typedata.map)
endif()
target_include_directories(typedata PUBLIC ${TD_INCLUDE_INTERFACE})

