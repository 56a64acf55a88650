# Installing the program as a desktop application, and the Debian package built from it.
include(GNUInstallDirs)

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)
set(MEKURI_APP_ID jp.mekuri.Mekuri)
install(TARGETS mekuri RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon in the theme folders: the SVG itself, and PNG sizes rendered from it at build time.
set(MEKURI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/mekuri.svg)
install(FILES ${MEKURI_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MEKURI_APP_ID}.svg)
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${MEKURI_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND render_icon ${MEKURI_ICON} ${size} ${png}
    DEPENDS render_icon ${MEKURI_ICON})
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icon_pngs ALL DEPENDS ${icon_pngs})
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n")
include(CPack)
