# Read by cpack (CPACK_PROJECT_CONFIG_FILE): adds the library dependencies of the web module and
# the web view helper, as dpkg-shlibdeps finds them, to the quelvex-web package.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_QUELVEX_WEB_BINARIES)
  set(dir "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/web-shlibdeps")
  # dpkg-shlibdeps wants a debian/control to read, as in a source package.
  file(WRITE "${dir}/debian/control" "Source: quelvex\n\nPackage: quelvex-web\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_QUELVEX_WEB_BINARIES}
                  WORKING_DIRECTORY "${dir}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE found ERROR_VARIABLE problems)
  if(NOT status EQUAL 0 OR NOT found MATCHES "shlibs:Depends=([^\n]+)")
    message(FATAL_ERROR "dpkg-shlibdeps on ${CPACK_QUELVEX_WEB_BINARIES}: ${problems}")
  endif()
  string(APPEND CPACK_DEBIAN_WEB_PACKAGE_DEPENDS ", ${CMAKE_MATCH_1}")
endif()
