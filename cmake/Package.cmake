# The Debian package (scripts/package builds it): keylearn_<version>_amd64.deb with the tree
# that cmake/Install.cmake lays out under /usr. Its runtime dependencies are computed by
# dpkg-shlibdeps from the programs and libraries, never written by hand.
# The Maintainer field names whoever builds and hands out the package. Set it outright with
# -DKEYLEARN_PACKAGE_MAINTAINER="Name <address>"; by default it is taken, as Debian's own tools
# take it, from DEBFULLNAME and DEBEMAIL when they are set at the first configure, and is
# otherwise the project's own name with an address that reaches nobody.
set(_maintainer "keylearn developers <keylearn@users.noreply.invalid>")
if(DEFINED ENV{DEBEMAIL} AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
  if("$ENV{DEBEMAIL}" MATCHES "<.*>")
    set(_maintainer "$ENV{DEBEMAIL}")
  elseif(DEFINED ENV{DEBFULLNAME} AND NOT "$ENV{DEBFULLNAME}" STREQUAL "")
    set(_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  else()
    set(_maintainer "keylearn developers <$ENV{DEBEMAIL}>")
  endif()
endif()
set(KEYLEARN_PACKAGE_MAINTAINER "${_maintainer}"
    CACHE STRING "The Maintainer field of the Debian package: Name <address>")
if(NOT KEYLEARN_PACKAGE_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "KEYLEARN_PACKAGE_MAINTAINER must read \"Name <address>\", not "
                      "\"${KEYLEARN_PACKAGE_MAINTAINER}\"")
endif()

# The Debian changelog and copyright, which every package carries in its doc folder.
string(TIMESTAMP KEYLEARN_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${CMAKE_BINARY_DIR}/packaging/changelog
          ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(keylearn_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keylearn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KEYLEARN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teach a USB universal remote control new keys")
# Debian shows the long description indented by one space; its lines stay under 80.
set(CPACK_PACKAGE_DESCRIPTION
    "keylearn reads a USB universal remote control's key table, shows the\n"
    "remote with every key coloured by its state and learns a key from any\n"
    "ordinary infrared remote control.\n"
    ".\n"
    "For use without hardware the package carries the simulated remote\n"
    "remote-sim, with a systemd user unit that is off until enabled,\n"
    "irtool, keylearn's infrared converter on the command line, and\n"
    "remotectl, the remote's keys, backup, restore and export on the\n"
    "command line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help button and the picture buttons open files through the desktop's xdg-open, which no
# library dependency brings in; dpkg-shlibdeps adds the libraries after it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
# dpkg-shlibdeps must know that libzorvik beside the program is the package's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack adds ldconfig to postinst and postrm for any library under /usr/lib, even in a private
# folder like lib/keylearn/ that ldconfig never reads; lintian notes it as a warning.
# No maintainer scripts: the icon cache and the desktop's menu are refreshed by the file
# triggers of the packages that keep them.
include(CPack)
