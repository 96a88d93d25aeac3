# What `cmake --install` puts in place besides the programs: the desktop entry,
# the icon and the MIME type of worksheets, in the freedesktop.org locations
# under the install prefix.
include(GNUInstallDirs)

set(AMX_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/packaging)

install(TARGETS ambrolux-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(AMBROLUX_BUILD_GUI)
  install(TARGETS ambrolux RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${AMX_PACKAGING_DIR}/ambrolux.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${AMX_PACKAGING_DIR}/ambrolux.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${AMX_PACKAGING_DIR}/ambrolux-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ambrolux.xml)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ambrolux/examples)
endif()
