# The service library: every exported operation, no host code.

file(GLOB TD_SERVICE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/*/*.cpp
  ${CMAKE_SOURCE_DIR}/src/*/*.c)
if(WIN32)
  list(FILTER TD_SERVICE_SOURCES EXCLUDE REGEX "/src/platform/posix_[^/]*$")
else()
  list(FILTER TD_SERVICE_SOURCES EXCLUDE REGEX "/src/platform/win32_[^/]*$")
endif()

set(TD_PUBLIC_INCLUDE_DIRS
  ${CMAKE_SOURCE_DIR}/src/exports
  ${CMAKE_SOURCE_DIR}/src/model
  ${CMAKE_SOURCE_DIR}/src/host)

add_library(typedata_objects OBJECT ${TD_SERVICE_SOURCES})
target_include_directories(typedata_objects
  PUBLIC ${TD_PUBLIC_INCLUDE_DIRS}
  PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_target_properties(typedata_objects PROPERTIES POSITION_INDEPENDENT_CODE ON)
# fast_float (header-only) converts the numbers of type data files. The
# cross build takes a copy of its headers in the build tree: the build
# machine's /usr/include must never be searched for the Windows build.
find_path(TD_FAST_FLOAT_INCLUDE_DIR fast_float/fast_float.h NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(CMAKE_CROSSCOMPILING)
  file(COPY ${TD_FAST_FLOAT_INCLUDE_DIR}/fast_float DESTINATION ${CMAKE_BINARY_DIR}/fast_float_include)
  target_include_directories(typedata_objects SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/fast_float_include)
endif()

# The static library: what tests, tools and a host that brings its own host
# operations link.
add_library(typedata_static STATIC $<TARGET_OBJECTS:typedata_objects>)
target_include_directories(typedata_static PUBLIC ${TD_PUBLIC_INCLUDE_DIRS})
set_target_properties(typedata_static PROPERTIES OUTPUT_NAME typedata)

if(WIN32)
  # typedata.dll: the exports by their plain names, the host operations
  # imported from the host's DLL, the rest from Windows.
  add_library(typedata SHARED $<TARGET_OBJECTS:typedata_objects> ${CMAKE_SOURCE_DIR}/src/exports/typedata.def)
  target_link_libraries(typedata PRIVATE mmisim user32 gdi32 kernel32)
  set_target_properties(typedata PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
else()
  # libtypedata.so leaves the host operations unresolved until a host
  # provides them.
  add_library(typedata SHARED $<TARGET_OBJECTS:typedata_objects>)
  set_target_properties(typedata PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 0)
endif()
target_include_directories(typedata PUBLIC ${TD_PUBLIC_INCLUDE_DIRS})

file(GLOB TD_PUBLIC_HEADERS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/exports/*.h
  ${CMAKE_SOURCE_DIR}/src/model/records.h
  ${CMAKE_SOURCE_DIR}/src/host/host.h
  ${CMAKE_SOURCE_DIR}/src/host/windows_types.h
  ${CMAKE_SOURCE_DIR}/src/*/td_*.h)
install(TARGETS typedata typedata_static)
install(FILES ${TD_PUBLIC_HEADERS} DESTINATION include/typedata)
