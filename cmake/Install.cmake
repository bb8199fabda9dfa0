# Where an installed keylearn lives. The program, its device library, the converter and any
# skin bundles share one folder, lib/keylearn/, because the program finds them beside itself
# (libzorvik through RUNPATH $ORIGIN, libquorvel and skins through applicationDirPath(), which
# resolves symbolic links). bin/ only holds links into that folder. Tests, benchmarks and the
# artwork generator are build tools and are not installed.
include(GNUInstallDirs)

set(KEYLEARN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/keylearn)

# The commands a user runs; remotectl joins them once it exists.
set(_keylearn_commands keylearn irtool remote-sim remotectl)
set(_keylearn_installed_targets zorvik quorvel)
foreach(_command IN LISTS _keylearn_commands)
  if(TARGET ${_command})
    list(APPEND _keylearn_installed_targets ${_command})
  endif()
endforeach()

install(TARGETS ${_keylearn_installed_targets}
  RUNTIME DESTINATION ${KEYLEARN_INSTALL_DIR}
  LIBRARY DESTINATION ${KEYLEARN_INSTALL_DIR} NAMELINK_SKIP)

# The five skin bundles, the help pages and the English translation are built into bin/ beside
# the program, and the program finds them beside itself, so they go into the program's folder
# too.
if(TARGET keylearn)
  install(FILES ${KEYLEARN_BIN_DIR}/on7731.rcc ${KEYLEARN_BIN_DIR}/sn7731.rcc
                ${KEYLEARN_BIN_DIR}/fn7731.rcc ${KEYLEARN_BIN_DIR}/bn7731.rcc
                ${KEYLEARN_BIN_DIR}/dn7731.rcc ${KEYLEARN_BIN_DIR}/keylearn-help.html
                ${KEYLEARN_BIN_DIR}/keylearn-help-en.html ${KEYLEARN_ENGLISH_QM}
          DESTINATION ${KEYLEARN_INSTALL_DIR})
endif()

# Relative links, so that the tree works wherever it is unpacked (a DESTDIR, a package's
# staging folder, a prefix chosen at install time). They are made in the build tree and
# installed as links.
file(RELATIVE_PATH _keylearn_bin_to_program /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${KEYLEARN_INSTALL_DIR})
set(_keylearn_links_dir ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${_keylearn_links_dir})
foreach(_command IN LISTS _keylearn_commands)
  if(TARGET ${_command})
    file(CREATE_LINK ${_keylearn_bin_to_program}/${_command} ${_keylearn_links_dir}/${_command}
         SYMBOLIC)
    install(FILES ${_keylearn_links_dir}/${_command} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(_keylearn_packaging ${CMAKE_SOURCE_DIR}/packaging)

# A manual page for each command there is, compressed as Debian wants them (-n: no name or
# time stamp inside, so that the same page gives the same file).
set(_keylearn_pages)
foreach(_command IN LISTS _keylearn_commands)
  if(TARGET ${_command} AND EXISTS ${_keylearn_packaging}/man/${_command}.1)
    set(_page ${CMAKE_BINARY_DIR}/man/${_command}.1.gz)
    add_custom_command(OUTPUT ${_page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${_keylearn_packaging}/man/${_command}.1 ${_page}
      DEPENDS ${_keylearn_packaging}/man/${_command}.1
      VERBATIM)
    list(APPEND _keylearn_pages ${_page})
  endif()
endforeach()
add_custom_target(keylearn_manual_pages ALL DEPENDS ${_keylearn_pages})
install(FILES ${_keylearn_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET keylearn)
  install(FILES ${_keylearn_packaging}/keylearn.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KEYLEARN_ICON_FILE} RENAME keylearn.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
endif()

# The simulated remote as a systemd user service, off until a user enables it. Its command
# is written at install time, so that it names the prefix the tree is really installed to.
if(TARGET remote-sim)
  install(CODE "
    set(_unit \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/keylearn-remote-sim.service\")
    set(KEYLEARN_REMOTE_SIM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/remote-sim\")
    message(STATUS \"Installing: \${_unit}\")
    configure_file(\"${_keylearn_packaging}/keylearn-remote-sim.service.in\" \"\${_unit}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_unit}\")
  ")
endif()
