# Where an installed VOLTA Player lives. The programs and the libraries they load by name
# share one folder (the program's folder is where the engine is looked for); the command
# names in bin/ are links into it. Read-only data and the help go to the data folder.
include(GNUInstallDirs)
set(VOLTA_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/volta)
set(VOLTA_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/volta)
# The help as the installed program finds it, relative to its own folder.
file(RELATIVE_PATH VOLTA_HELP_FROM_PROGRAM ${CMAKE_INSTALL_PREFIX}/${VOLTA_INSTALL_PROGRAM_DIR}
     ${CMAKE_INSTALL_PREFIX}/${VOLTA_INSTALL_DATA_DIR}/help)
# The build tree keeps the same data below build/share, so build/bin/volta finds it too.
set(VOLTA_BUILD_DATA_DIR ${CMAKE_BINARY_DIR}/share/volta)
# The icon theme's sizes the icon is drawn in.
set(VOLTA_ICON_SIZES 16 22 24 32 48 64 128 256)
