# Header-only libraries for the 32-bit Windows build: the Debian packages'
# headers are staged into BUILD/staged/include (never the whole of
# /usr/include, whose C library headers would shadow mingw-w64's).
set(TD_STAGED_INCLUDE ${CMAKE_BINARY_DIR}/staged/include)

# td_stage_headers(FOLDER HEADER RESULT): copies /usr/include/FOLDER when
# /usr/include/HEADER is there; RESULT says whether it was.
function(td_stage_headers folder header result)
  string(MAKE_C_IDENTIFIER ${header} key)
  find_path(TD_HOST_${key}_INCLUDE ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(TD_HOST_${key}_INCLUDE)
    file(COPY ${TD_HOST_${key}_INCLUDE}/${folder} DESTINATION ${TD_STAGED_INCLUDE})
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()

# The tool's libraries: staged, with a small package configuration each so
# that the tool's find_package() calls find them; fmt is compiled into the
# tool (FMT_HEADER_ONLY).
function(td_stage_cross_headers result)
  set(stage ${CMAKE_BINARY_DIR}/staged)
  set(libraries
      "CLI11|CLI/CLI.hpp|CLI|CLI11::CLI11|"
      "nlohmann_json|nlohmann/json.hpp|nlohmann|nlohmann_json::nlohmann_json|"
      "fmt|fmt/core.h|fmt|fmt::fmt|FMT_HEADER_ONLY=1")
  set(all ON)
  foreach(entry ${libraries})
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 package)
    list(GET fields 1 header)
    list(GET fields 2 folder)
    list(GET fields 3 target)
    list(LENGTH fields count)
    set(definitions "")
    if(count GREATER 4)
      list(GET fields 4 definitions)
    endif()
    td_stage_headers(${folder} ${header} found)
    if(NOT found)
      set(all OFF)
      continue()
    endif()
    file(WRITE ${stage}/cmake/${package}/${package}Config.cmake
         "# Staged header-only ${package} for the cross build.\n"
         "if(NOT TARGET ${target})\n"
         "  add_library(${target} INTERFACE IMPORTED)\n"
         "  set_target_properties(${target} PROPERTIES\n"
         "    INTERFACE_INCLUDE_DIRECTORIES \"${TD_STAGED_INCLUDE}\"\n"
         "    INTERFACE_COMPILE_DEFINITIONS \"${definitions}\")\n"
         "endif()\n")
    set(${package}_DIR ${stage}/cmake/${package} CACHE PATH "Staged ${package} for the cross build" FORCE)
  endforeach()
  set(${result} ${all} PARENT_SCOPE)
endfunction()
