# Version resources for the Windows builds' DLL and programs: file version,
# product name and description, as a file's properties show them.
enable_language(RC)

# td_version_resource(TARGET FILENAME "description")
function(td_version_resource target filename description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(TD_RC_FILETYPE VFT_APP)
  else()
    set(TD_RC_FILETYPE VFT_DLL)
  endif()
  get_filename_component(TD_RC_NAME ${filename} NAME_WE)
  set(TD_RC_FILENAME ${filename})
  set(TD_RC_DESCRIPTION "${description}")
  string(MAKE_C_IDENTIFIER ${filename} file_key)  # typedata.dll and typedata.exe apart
  set(rc ${CMAKE_BINARY_DIR}/resources/${file_key}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
