# Installation (make install) and the Debian package (make deb) install the
# same files: the programs, the manual, the menu entry with its icons, the
# software-centre metadata and the manual pages. Everything that carries a
# version takes it from project() and REBKONTOR_VERSION_DATUM, as the version
# record of the program does.
include(GNUInstallDirs)

set(REBKONTOR_WEBSEITE "https://rebkontor.de" CACHE STRING
    "The program's web site: the package's homepage and where the metadata's screenshots lie")
set(REBKONTOR_BETREUER "Die Entwickler von Rebkontor <entwickler@rebkontor.de>" CACHE STRING
    "Name and address of the package's maintainer")

find_program(REBKONTOR_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(REBKONTOR_GZIP gzip REQUIRED)

set(paket ${CMAKE_BINARY_DIR}/paket)
set(paket_dateien)

# The programs. The PDF helper is no command of its own; rebkontor-cli finds
# it in libexec/rebkontor beside its bin folder.
install(TARGETS rebkontor rebkontor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS rebkontor-cli-pdf RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/rebkontor)

# The menu entry and the metadata, both named by the application id.
install(FILES ${PROJECT_SOURCE_DIR}/resources/${REBKONTOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/resources/${REBKONTOR_APP_ID}.metainfo.xml.in
               ${paket}/${REBKONTOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${paket}/${REBKONTOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icons: the drawing, and rendered from it every size a desktop asks
# for.
set(symbol ${PROJECT_SOURCE_DIR}/resources/icons/${REBKONTOR_APP_ID}.svg)
install(FILES ${symbol} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(groesse 16 22 24 32 48 64 128 256)
    set(png ${paket}/icons/${groesse}/${REBKONTOR_APP_ID}.png)
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${paket}/icons/${groesse}
        COMMAND ${REBKONTOR_RSVG_CONVERT} -w ${groesse} -h ${groesse} -o ${png} ${symbol}
        DEPENDS ${symbol}
        VERBATIM)
    list(APPEND paket_dateien ${png})
    install(FILES ${png}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${groesse}x${groesse}/apps)
endforeach()

# The manual pages, made from the help texts of both programs.
set(seiten ${paket}/man/rebkontor.1 ${paket}/man/rebkontor-cli.1)
add_custom_command(
    OUTPUT ${seiten} ${paket}/man/rebkontor.1.gz ${paket}/man/rebkontor-cli.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${paket}/man
    COMMAND rebkontor-handbuchseiten ${paket}/man ${PROJECT_VERSION} ${REBKONTOR_VERSION_DATUM}
    COMMAND ${REBKONTOR_GZIP} -9nkf ${seiten}
    DEPENDS rebkontor-handbuchseiten
    VERBATIM)
list(APPEND paket_dateien ${seiten})
# The pages are German, and the only ones: in man1 every desktop language
# finds them, not only a German one.
install(FILES ${paket}/man/rebkontor.1.gz ${paket}/man/rebkontor-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The manual, the copyright and the change log of the package.
execute_process(COMMAND date -u -R -d "${REBKONTOR_VERSION_DATUM} 12:00"
                OUTPUT_VARIABLE versionstag OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${paket}/changelog.in
     "rebkontor (${PROJECT_VERSION}) stable; urgency=medium\n\n"
     "  * Rebkontor ${PROJECT_VERSION}.\n\n"
     " -- ${REBKONTOR_BETREUER}  ${versionstag}\n")
configure_file(${paket}/changelog.in ${paket}/changelog COPYONLY)
add_custom_command(
    OUTPUT ${paket}/changelog.gz
    COMMAND ${REBKONTOR_GZIP} -9nkf ${paket}/changelog
    DEPENDS ${paket}/changelog
    VERBATIM)
list(APPEND paket_dateien ${paket}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/doc/index.htm ${PROJECT_SOURCE_DIR}/resources/copyright
              ${paket}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rebkontor)

# Built with the programs, so that `cmake --install` finds everything.
add_custom_target(paketdateien ALL DEPENDS ${paket_dateien})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rebkontor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${REBKONTOR_BETREUER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${REBKONTOR_WEBSEITE})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "back office for wine estates that sell bottled wine")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Rebkontor keeps the customer file, the wine catalogue with its bottle
stock, up to 20 price lists and the invoices with their items of a wine
grower who sells bottled wine directly to private and business customers.
It prints invoices and packing lists, writes e-invoices (XRechnung,
ZUGFeRD), bottle lists, address files and price lists, and keeps notes and
a log book of every change.

The program speaks German. rebkontor-cli does its exports and checks from
scripts and scheduled jobs.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not say: the toolkit's display plugins (the window
# and the offscreen PDF helper), its German dialogs, the fonts the invoices
# are laid out in, and the opener of the manual and the text files.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, fontconfig, xdg-utils")
# The libraries the programs load only when a command needs them
# (cmake/Nachladen.cmake): dpkg-shlibdeps cannot see them.
get_property(nachgeladen GLOBAL PROPERTY REBKONTOR_NACHGELADENE_PAKETE)
foreach(abhaengigkeit ${nachgeladen})
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${abhaengigkeit}")
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
