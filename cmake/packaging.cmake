# Installing the program as a desktop application, and the Debian package built from it.
include(GNUInstallDirs)

set(MEKURI_APP_ID jp.mekuri.Mekuri)
install(TARGETS mekuri RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon theme folders as they are under resources/icons/hicolor: scalable SVG and PNG sizes.
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/icons/hicolor)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mekuri)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Mekuri developers <mekuri@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese diary and scheduler")
set(CPACK_PACKAGE_DESCRIPTION "A month calendar, a one-week list and a Shift-JIS text editor holding the diary text of the selected day, one file per day.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries come from dpkg-shlibdeps; the fonts are what draws the Japanese text.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
include(CPack)
