# What `cmake --install` puts in place, and the Debian package CPack builds from it.
#
#   <prefix>/bin/tavisto                                   the program
#   <prefix>/share/tavisto/Tavisto.chm                     its help file, found from the program's folder
#   <prefix>/share/applications/<id>.desktop               the menu entry
#   <prefix>/share/metainfo/<id>.metainfo.xml              the software centre's description
#   <prefix>/share/icons/hicolor/<size>/apps/<id>.png|svg  the icon
#   <prefix>/share/man/man1/tavisto.1.gz                   the manual page (German, as the program)
#   <prefix>/share/doc/tavisto/copyright, changelog.gz     the terms and the history Debian asks for
#
# <id> is the desktop file name the program sets on its windows (kDesktopFileName).
include(GNUInstallDirs)

set(TAVISTO_DESKTOP_ID de.lumosoftware.Tavisto)
set(TAVISTO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tavisto)

# The program finds its data folder from its own folder, so the installed tree can be moved
# (a package unpacked anywhere, a prefix of one's own) and the build folder keeps working.
file(RELATIVE_PATH data_from_program ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/tavisto)
target_compile_definitions(tavisto_shell PRIVATE TAVISTO_DATA_FROM_PROGRAM="${data_from_program}")

install(TARGETS Tavisto RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/Tavisto.chm DESTINATION ${TAVISTO_DATA_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${TAVISTO_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${TAVISTO_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/tavisto.svg
        DESTINATION ${icon_theme}/scalable/apps RENAME ${TAVISTO_DESKTOP_ID}.svg)
foreach(size ${TAVISTO_ICON_SIZES})
  install(FILES ${TAVISTO_ICON_DIR}/tavisto-${size}.png
          DESTINATION ${icon_theme}/${size}x${size}/apps RENAME ${TAVISTO_DESKTOP_ID}.png)
endforeach()

install(FILES ${TAVISTO_DEBIAN_DIR}/tavisto.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(TAVISTO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tavisto)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${TAVISTO_DEBIAN_DIR}/changelog.gz
        DESTINATION ${TAVISTO_DOC_DIR})

# The Debian package: `cpack -G DEB` in the build folder gives tavisto_<version>_<arch>.deb.
# Its Depends come from the libraries the program links (dpkg-shlibdeps), plus what the
# program loads at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavisto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumo Software")
set(CPACK_PACKAGE_CONTACT "Lumo Software <tavisto@lumosoftware.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Adressbuch und Druck von Briefumschlägen")
# The lines under the summary, which dpkg shows as its first line; each at most 72
# characters, so that they stay within 80 where dpkg and apt indent them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Lumo Tavisto verwaltet Absender mit Bannerbildern, Gruppen und Adressen
in einer SQLite-Datei und druckt daraus einzelne Briefumschläge oder
eine Serie für eine ganze Gruppe, mit Vorschau, CSV- und vCard-Import,
CSV-Export und Datensicherung.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's German texts for the standard dialogs, the Arial-compatible fonts the envelopes
# are set in, and the label database the label window reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation, glabels-data")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
