# The packages CPack makes out of what `cmake --install` puts in place:
#
#   Linux:    a .deb of the desktop program and pelvaro-cli (installed under
#             /usr), and a .tar.gz of the same tree
#   Windows:  a .zip of pelvaro.exe and pelvaro-cli.exe with the README and
#             the licence
#
#   cpack --config BUILD/CPackConfig.cmake -B BUILD/packages

# The README and the licence go with every package. Debian keeps a package's
# licence as share/doc/PACKAGE/copyright.
if(WIN32)
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelvaro)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelvaro RENAME copyright)
endif()

set(PELVARO_PACKAGE_MAINTAINER "Pelvaro developers <maintainers@pelvaro.invalid>"
    CACHE STRING "The name and mail address the packages give as their maintainer")

set(CPACK_PACKAGE_NAME pelvaro)
set(CPACK_PACKAGE_VENDOR "Pelvaro developers")
set(CPACK_PACKAGE_CONTACT "${PELVARO_PACKAGE_MAINTAINER}")
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
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME pelvaro-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})

  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELVARO_PACKAGE_MAINTAINER}")
  # The libraries come from dpkg-shlibdeps. What it cannot see: the fonts the
  # windows use in place of Arial and the MS Gothic fonts, and Qt's platform
  # plugins, which are loaded at run time and without which no window opens.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation2")
  set(_pelvaro_programs "pelvaro-cli, the command-line program")
  if(TARGET pelvaro)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins")
    set(_pelvaro_programs "the desktop program, pelvaro, and pelvaro-cli, which does
the same work without a window")
  endif()
  # The long description; CPack puts the summary line above it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Pelvaro opens a sprite archive in the SFF format (version-1 layout), lists
every sprite in a table and writes each one as a standalone PCX file. It also
writes a definition text and a batch file from which an external builder can
make the archive again out of those PCX files.
.
This package holds ${_pelvaro_programs}.")
endif()

include(CPack)
