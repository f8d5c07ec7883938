# Installation (cmake --install, GNUInstallDirs) and the Debian package
# (cpack -G DEB). Everything a desktop needs to know about Quorvel: the
# programs, the desktop entry, the box file type, icons, thumbnailer,
# AppStream metainfo and the manual pages.
include(GNUInstallDirs)

# The desktop entry's id; also the window's desktop file name, so the
# desktop can match the window to the entry and its icon.
set(QUORVEL_APP_ID org.example.quorvel)
target_compile_definitions(quorvel PRIVATE QUORVEL_APP_ID="${QUORVEL_APP_ID}")

set(quorvel_desktop ${PROJECT_SOURCE_DIR}/res/desktop)
install(TARGETS quorvel quorvel-dump quorvel-thumbnailer
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The second entry offers "open with Quorvel-Sammlung" on folders; hidden
# from menus, and the file manager stays the folders' default.
install(FILES ${quorvel_desktop}/${QUORVEL_APP_ID}.desktop
              ${quorvel_desktop}/${QUORVEL_APP_ID}.collection.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${quorvel_desktop}/${QUORVEL_APP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${quorvel_desktop}/quorvel.thumbnailer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
# The metainfo and the manual pages as configured with the version (res/).
install(FILES ${PROJECT_BINARY_DIR}/res/desktop/${QUORVEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages and the package's changelog go in compressed, as Debian
# policy asks (gzip -n: no time stamp, so packages are reproducible). They
# are compressed while installing, so installing needs nothing built but
# the three programs; nor does it build anything (cpack included).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
find_program(QUORVEL_GZIP gzip REQUIRED)
set(quorvel_gz ${CMAKE_CURRENT_BINARY_DIR}/install-gz)
set(quorvel_pages quorvel.1 quorvel-dump.1 quorvel-thumbnailer.1)
set(quorvel_gz_sources changelog=${quorvel_desktop}/changelog)
foreach(page IN LISTS quorvel_pages)
    list(APPEND quorvel_gz_sources ${page}=${PROJECT_BINARY_DIR}/res/man/${page})
endforeach()
install(CODE "
    file(MAKE_DIRECTORY \"${quorvel_gz}\")
    foreach(entry ${quorvel_gz_sources})
        string(REPLACE \"=\" \";\" pair \"\${entry}\")
        list(GET pair 0 name)
        list(GET pair 1 source)
        execute_process(COMMAND \"${QUORVEL_GZIP}\" -9 -n -c \"\${source}\"
                        OUTPUT_FILE \"${quorvel_gz}/\${name}.gz\"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"cannot compress \${source}\")
        endif()
    endforeach()
")
foreach(page IN LISTS quorvel_pages)
    install(FILES ${quorvel_gz}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${quorvel_gz}/changelog.gz ${quorvel_desktop}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

# The Debian package. Dependencies come from the shared libraries the
# programs link (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "Die Quorvel-Entwickler")
set(CPACK_PACKAGE_CONTACT "Die Quorvel-Entwickler <quorvel@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorvel.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for DVD collection box files")
# The long description; cpack puts the summary before it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Quorvel shows one .box file at a time: the export of one item of a DVD
collection manager. The window shows the cover picture, a summary of the
export and the whole record (DVDs, films, titles, languages, persons,
content and comment) as German labelled lines.

The package also holds quorvel-dump, which prints the same display as text
or JSON, and a thumbnailer that shows the covers in file managers.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quorvel)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
# Qt's own menus and dialogs in German; the viewer runs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
