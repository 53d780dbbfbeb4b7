# One test program per folder of tests/, on the support library.

if(WIN32)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(TD_GTEST_MAIN gtest_main)
  set(TD_GTEST gtest)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(TD_GTEST_MAIN GTest::gtest_main)
  set(TD_GTEST GTest::gtest)
endif()

file(GLOB TD_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(test_support STATIC ${TD_TEST_SUPPORT_SOURCES})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(test_support PUBLIC mmisim_start typedata_static mmisim ${TD_GTEST})
target_compile_definitions(test_support PUBLIC TD_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")

file(GLOB TD_TEST_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${TD_TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  # install/ is run on its own, against installed releases (tests/install/run.sh).
  if(NOT IS_DIRECTORY ${dir} OR name STREQUAL "support" OR name STREQUAL "data" OR name STREQUAL "install")
    continue()
  endif()
  if(NOT TD_WITH_TOOLS AND name STREQUAL "tool")  # the tool's end-to-end tests need the tool
    continue()
  endif()
  if(EXISTS ${dir}/CMakeLists.txt)  # a folder that builds its own way
    add_subdirectory(${dir})
    continue()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  if(NOT sources)
    continue()
  endif()
  set(target test_${name})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE test_support ${TD_GTEST_MAIN})
  if(WIN32)
    # Starting a process under Wine is slow: one entry per program.
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endforeach()

# The shared library's dynamic symbols: the operations of the .def alone.
if(NOT WIN32)
  add_test(NAME exported_symbols COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-so-exports $<TARGET_FILE:typedata>)
endif()
