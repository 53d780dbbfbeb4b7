# The simulated host: our stand-in for the host's libraries.

file(GLOB MMISIM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/sim/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/machine/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/structure/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/shell/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/comm/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/conversion/*.cpp
  ${CMAKE_SOURCE_DIR}/sim/colour/*.cpp)
if(WIN32)
  file(GLOB MMISIM_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/win32/*.cpp)
  add_library(mmisim SHARED ${MMISIM_SOURCES} ${MMISIM_PLATFORM_SOURCES})
  target_link_libraries(mmisim PRIVATE user32 gdi32 kernel32)
  # Export our own symbols only, not those of the static C++ runtime.
  target_link_options(mmisim PRIVATE -Wl,--exclude-libs,ALL)
  set_target_properties(mmisim PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
else()
  file(GLOB MMISIM_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/linux/*.cpp)
  add_library(mmisim STATIC ${MMISIM_SOURCES} ${MMISIM_PLATFORM_SOURCES})
  set_target_properties(mmisim PROPERTIES POSITION_INDEPENDENT_CODE ON)
endif()
target_include_directories(mmisim PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/sim>
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/src/model>
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/src/host>)

# Starting a simulated host as a host program does: the machine, then the
# catalogue file read with the service's line utilities.
file(GLOB MMISIM_START_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/start/*.cpp)
add_library(mmisim_start STATIC ${MMISIM_START_SOURCES})
target_link_libraries(mmisim_start PUBLIC typedata_static mmisim)
# The catalogue is found by the service's own lookup of names.
target_include_directories(mmisim_start PRIVATE ${CMAKE_SOURCE_DIR}/src)

# A host program that uses the service as a real host does, through the
# exports of typedata.dll (the typedata tool on Windows). The start-up
# reader's name lookup comes from the static library; the operations, named
# first, from the DLL.
if(WIN32)
  add_library(mmisim_start_dll STATIC ${MMISIM_START_SOURCES})
  target_include_directories(mmisim_start_dll PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(mmisim_start_dll PUBLIC typedata mmisim typedata_static)
  set(TD_HOST_START mmisim_start_dll)
else()
  set(TD_HOST_START mmisim_start)
endif()
