# Installing the program as a desktop application, and the Debian package built from it.
# Everything installed is built with the program itself, so building only `mekuri` and
# then installing works; the program is installed last, so an install stopped half-way
# never leaves a runnable program without its menu entry, icons and documentation.
include(GNUInstallDirs)

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)
set(MEKURI_APP_ID jp.mekuri.Mekuri)
# The package's maintainer, also named in its changelog. The project has no public mail
# address; the reserved .invalid name says so plainly, and a packager sets their own.
set(MEKURI_MAINTAINER "The Mekuri authors <mekuri@example.invalid>" CACHE STRING
    "Maintainer of the Debian package: name <address>")
set(MEKURI_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/mekuri)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${MEKURI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon in the theme folders: the SVG itself, and PNG sizes rendered from it at build time.
set(MEKURI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/mekuri.svg)
install(FILES ${MEKURI_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MEKURI_APP_ID}.svg)
set(install_files)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${MEKURI_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND render_icon ${MEKURI_ICON} ${size} ${png}
    DEPENDS render_icon ${MEKURI_ICON})
  list(APPEND install_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Documentation as Debian keeps it: gzip without a time stamp, at the highest level.
configure_file(${PROJECT_SOURCE_DIR}/resources/doc/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
function(mekuri_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
mekuri_gzip(${CMAKE_BINARY_DIR}/doc/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
mekuri_gzip(${PROJECT_SOURCE_DIR}/resources/doc/mekuri.1 ${CMAKE_BINARY_DIR}/doc/mekuri.1.gz)
list(APPEND install_files ${CMAKE_BINARY_DIR}/doc/changelog.gz ${CMAKE_BINARY_DIR}/doc/mekuri.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/doc/mekuri.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${MEKURI_DOCDIR})

add_custom_target(mekuri_install_files ALL DEPENDS ${install_files})
add_dependencies(mekuri mekuri_install_files)
# A library the program loads itself, not one to link against: read-only like data.
install(TARGETS mekuri_window LIBRARY DESTINATION ${MEKURI_WINDOW_LIBRARY_INSTALL_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS mekuri RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mekuri)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${MEKURI_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MEKURI_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese diary and scheduler")
# Debian wants the long description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "A desktop diary for Japanese text: a month calendar with holidays, the old
calendar and rokuyo, a one-week list, and an editor holding the diary text of
the selected day. Each day is one Shift-JIS text file in the diary folder.
The same program lists, searches and exports the diary from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries come from dpkg-shlibdeps; the fonts are what draws the Japanese text.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-noto-color-emoji, fonts-hanazono, fonts-symbola, qt6-translations-l10n")
include(CPack)
