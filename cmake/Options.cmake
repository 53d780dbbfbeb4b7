# What to build. The library alone needs only CMake, a C/C++ compiler and
# the header-only fast_float; tests, the tool, benchmarks and the API
# reference are built where what they need is installed (AUTO), and a
# missing package is named.
#
#   TD_BUILD_TESTS  ON | OFF | AUTO   GoogleTest (libgtest-dev; googletest for the Windows build)
#   TD_BUILD_TOOLS  ON | OFF | AUTO   the typedata tool: CLI11, nlohmann-json, fmt
#   TD_BUILD_BENCH  ON | OFF | AUTO   benchmarks (Linux): Google Benchmark
#   TD_BUILD_DOCS   ON | OFF | AUTO   the API reference: Doxygen
#   TD_BUILD_FUZZ   ON | OFF          libFuzzer targets; needs clang and instruments the
#                                     whole tree, so only ever asked for (scripts/fuzz)
#
# ON fails the configuration when a dependency is missing; AUTO leaves the
# part out with a message. The older names TD_TESTS=OFF and TD_FUZZ=ON are
# still understood.

set(TD_PART_VALUES ON OFF AUTO)
foreach(part TESTS TOOLS BENCH DOCS)
  set(TD_BUILD_${part} AUTO CACHE STRING "Build the ${part}: ON, OFF or AUTO (where its dependencies are installed)")
  set_property(CACHE TD_BUILD_${part} PROPERTY STRINGS ${TD_PART_VALUES})
endforeach()
option(TD_BUILD_FUZZ "Build the libFuzzer targets (clang; instruments everything)" OFF)

if(DEFINED TD_TESTS AND NOT TD_TESTS)
  set(TD_BUILD_TESTS OFF)
endif()
if(TD_FUZZ)
  set(TD_BUILD_FUZZ ON)
endif()

# td_decide(PART FOUND "what it needs, as Debian packages") sets TD_WITH_<PART>.
function(td_decide part found packages)
  set(request ${TD_BUILD_${part}})
  string(TOLOWER ${part} name)
  if(NOT request OR request STREQUAL "OFF")
    set(TD_WITH_${part} OFF PARENT_SCOPE)
  elseif(found)
    set(TD_WITH_${part} ON PARENT_SCOPE)
  elseif(request STREQUAL "AUTO")
    message(STATUS "typedata: ${name} not built; install ${packages} (Debian) to build them")
    set(TD_WITH_${part} OFF PARENT_SCOPE)
  else()
    message(FATAL_ERROR "typedata: the ${name} need ${packages} (Debian): install it, "
                        "or configure with -DTD_BUILD_${part}=OFF")
  endif()
endfunction()

# Tests: GoogleTest, from source for the cross build.
if(WIN32)
  if(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(found ON)
  else()
    set(found OFF)
  endif()
  td_decide(TESTS ${found} "googletest")
else()
  find_package(GTest QUIET)
  td_decide(TESTS "${GTest_FOUND}" "libgtest-dev")
endif()

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/CrossHeaders.cmake)
endif()

# The tool: its libraries' headers (for the cross build, staged header-only).
if(WIN32)
  td_stage_cross_headers(found)
else()
  find_package(CLI11 QUIET)
  find_package(nlohmann_json QUIET)
  find_package(fmt QUIET)
  if(CLI11_FOUND AND nlohmann_json_FOUND AND fmt_FOUND)
    set(found ON)
  else()
    set(found OFF)
  endif()
endif()
td_decide(TOOLS ${found} "libcli11-dev, nlohmann-json3-dev and libfmt-dev")

if(WIN32)
  set(TD_WITH_BENCH OFF)
else()
  find_package(benchmark QUIET)
  td_decide(BENCH "${benchmark_FOUND}" "libbenchmark-dev")
endif()

find_package(Doxygen QUIET)
td_decide(DOCS "${DOXYGEN_FOUND}" "doxygen")

if(TD_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "typedata: the fuzz targets need clang and libFuzzer: install clang and "
                      "libclang-rt-14-dev and configure with CC=clang CXX=clang++ (scripts/fuzz does)")
endif()

# The names the build's parts use.
set(TD_TESTS ${TD_WITH_TESTS})
set(TD_FUZZ ${TD_BUILD_FUZZ})
