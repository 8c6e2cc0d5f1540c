# gelmo_version_resource(TARGET DESCRIPTION): gives a program the version
# resource that Explorer's properties and the setup program read, with the
# build's one version number.
function(gelmo_version_resource target description)
  set(GELMO_FILE_DESCRIPTION ${description})
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  set(GELMO_FILE_NAME ${name}${suffix})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
