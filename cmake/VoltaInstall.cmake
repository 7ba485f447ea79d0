# `make install` / `cmake --install`: the programs and the libraries they load by name in
# one folder, the command names as links to them, the desktop entry, the MIME package, the
# icon, the help and the demo song. `cpack -G DEB` packs the same tree.
# Installing builds nothing by itself (`make install` and `make deb` build first).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(volta_programs volta volta-play volta-convert volta-wrd)
install(TARGETS ${volta_programs} RUNTIME DESTINATION ${VOLTA_INSTALL_PROGRAM_DIR})
install(TARGETS voltant morph LIBRARY DESTINATION ${VOLTA_INSTALL_PROGRAM_DIR} NAMELINK_SKIP)
# Libraries built by other parts of the tree when present (the bridge, the archive library).
foreach(optional volta95 unlha32)
  if(TARGET ${optional})
    install(TARGETS ${optional} LIBRARY DESTINATION ${VOLTA_INSTALL_PROGRAM_DIR} NAMELINK_SKIP)
  endif()
endforeach()

# bin/volta -> ../lib/volta/volta: the program's folder is where the link points.
file(RELATIVE_PATH program_from_bin ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VOLTA_INSTALL_PROGRAM_DIR})
set(link_dir ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${link_dir})
foreach(program IN LISTS volta_programs)
  file(CREATE_LINK ${program_from_bin}/${program} ${link_dir}/${program} SYMBOLIC)
  install(FILES ${link_dir}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

set(desktop_out ${CMAKE_BINARY_DIR}/desktop)
install(FILES ${desktop_out}/volta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_out}/volta.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size IN LISTS VOLTA_ICON_SIZES)
  install(FILES ${desktop_out}/icons/${size}/volta.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/help/ DESTINATION ${VOLTA_INSTALL_DATA_DIR}/help)
install(FILES ${CMAKE_SOURCE_DIR}/player/resources/demo.mid DESTINATION ${VOLTA_INSTALL_DATA_DIR})

# The Debian package.
set(CPACK_PACKAGE_NAME volta)
set(CPACK_PACKAGE_VENDOR "VOLTA Player developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MIDI file player for RCP, G36 and Standard MIDI songs with WRD scripts")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "VOLTA Player plays Standard MIDI Files and RCP/G36 songs on up to three MIDI outputs or a\n"
       "software synthesizer, with an LCD-style panel, a performance monitor, song documents and\n"
       "WRD scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "VOLTA Player developers <volta@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs find their own libraries beside them; dpkg-shlibdeps must look there too.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "unifont")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont | fluid-soundfont-gm, xdg-utils, desktop-file-utils, shared-mime-info")
set(CPACK_GENERATOR DEB)
include(CPack)
