# The packages CPack makes out of what `cmake --install` puts in place:
#
#   Linux:    a .tar.gz of the desktop program and pelvaro-cli with their
#             files, the tree `cmake --install` makes under a prefix (the .deb
#             comes from debian/ and dpkg-buildpackage)
#   Windows:  a .zip of the programs with the README and the licence (the
#             installer comes from packaging/nsis/ and makensis)
#
#   cpack --config BUILD/CPackConfig.cmake -B BUILD/packages

# The README and the licence go with every package, the licence where Debian
# keeps one: share/doc/PACKAGE/copyright (the .deb has debian/copyright there
# instead, the same licence in the machine-readable format).
if(WIN32)
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelvaro)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelvaro RENAME copyright)
endif()

set(CPACK_PACKAGE_NAME pelvaro)
set(CPACK_PACKAGE_VENDOR "Pelvaro developers")
set(CPACK_PACKAGE_CONTACT "Pelvaro developers <maintainers@pelvaro.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "take SFF sprite archives apart into PCX files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
# Nothing of the build folder's own packages goes into the next one.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME pelvaro-${PROJECT_VERSION}-win64)
else()
  # The .deb is made by dpkg-buildpackage from debian/: a CPack .deb could
  # not hold the same files (the Debian changelog, the machine-readable
  # copyright, the separate debug symbols), so there is one .deb, not two
  # that differ.
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME pelvaro-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()

include(CPack)

if(WIN32)
  add_subdirectory(${PROJECT_SOURCE_DIR}/packaging/nsis ${PROJECT_BINARY_DIR}/packaging/nsis)
endif()
