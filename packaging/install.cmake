# What an installed program carries: tlm in bin/, the database maker beside the other helpers, the
# template every user's first database is copied from, menu entry, icons, AppStream, manual, licence.
set(TLM_SHARE ${CMAKE_INSTALL_DATADIR}/fennor-tellomat)
set(TLM_LIBEXEC lib/fennor-tellomat)

install(TARGETS tlm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tlm_mkdb RUNTIME DESTINATION ${TLM_LIBEXEC})
install(FILES packaging/de.fennor.Tellomat.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/de.fennor.Tellomat.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES packaging/fennor-tellomat.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Plan files (*.tlm) are known to the desktop, open with a double click and show the program's icon.
install(FILES packaging/de.fennor.Tellomat.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME de.fennor.Tellomat.xml)

# The handbook with its pictures: beside the program in the build tree, in share/ when installed (the
# program reads it, so it does not go under doc/, which a system may leave out).
file(READ ${CMAKE_SOURCE_DIR}/docs/handbuch.html TLM_HANDBOOK_HTML)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/handbuch.html)
string(REGEX MATCHALL "src=\"[^\"]+\\.png\"" TLM_HANDBOOK_SRCS "${TLM_HANDBOOK_HTML}")
set(TLM_HANDBOOK_FILES ${CMAKE_SOURCE_DIR}/docs/handbuch.html)
foreach(src ${TLM_HANDBOOK_SRCS})
    string(REGEX REPLACE "src=\"([^\"]+)\"" "\\1" picture "${src}")
    list(APPEND TLM_HANDBOOK_FILES ${CMAKE_SOURCE_DIR}/docs/${picture})
endforeach()
list(REMOVE_DUPLICATES TLM_HANDBOOK_FILES)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/handbuch/handbuch.html
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/handbuch
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TLM_HANDBOOK_FILES} ${CMAKE_BINARY_DIR}/handbuch
    DEPENDS ${TLM_HANDBOOK_FILES})
add_custom_target(tlm_handbook ALL DEPENDS ${CMAKE_BINARY_DIR}/handbuch/handbuch.html)
install(FILES ${TLM_HANDBOOK_FILES} DESTINATION ${TLM_SHARE}/handbuch)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fennor-tellomat)

# The manual page gzipped, as Debian keeps them.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tlm.1.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/tlm.1 > ${CMAKE_BINARY_DIR}/tlm.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/tlm.1)
add_custom_target(tlm_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/tlm.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/tlm.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
# The English page, so that man tlm finds a page in any language.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/en/tlm.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/en
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/tlm.en.1 > ${CMAKE_BINARY_DIR}/en/tlm.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/tlm.en.1)
add_custom_target(tlm_manual_en ALL DEPENDS ${CMAKE_BINARY_DIR}/en/tlm.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/en/tlm.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian's changelog beside the copyright, gzipped the same way.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian)
add_custom_target(tlm_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fennor-tellomat)

# The template is made in the build tree and copied, so a staged install (DESTDIR) writes nothing
# outside its stage, and a failing maker fails the install.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/template/tlm.mdb
    COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/template/tlm.mdb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/template
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:tlm_mkdb>
            ${CMAKE_BINARY_DIR}/template/tlm.mdb --template
    DEPENDS tlm_mkdb)
add_custom_target(tlm_template ALL DEPENDS ${CMAKE_BINARY_DIR}/template/tlm.mdb)
install(FILES ${CMAKE_BINARY_DIR}/template/tlm.mdb DESTINATION ${TLM_SHARE}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# A Debian package of the installed tree (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fennor-tellomat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Fennor Tellomat <tellomat@fennor.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Speiseplan, Einkaufslisten und Kochbuch für Gruppen")
set(CPACK_PACKAGE_DESCRIPTION "Fennor Tellomat plant die Mahlzeiten für eine Gruppe (Freizeit, Lager,
Gruppenhaus) Tag für Tag aus einem Katalog von Gerichten und Zutaten und druckt
den Speiseplan, drei Einkaufslisten mit ganzen Packungen und Preisen und ein
Kochbuch der geplanten Gerichte.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://fennor.de/tellomat")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without Qt's German texts its own buttons and the file dialog would be English.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
