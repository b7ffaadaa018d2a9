# The Debian package: `cpack -G DEB` in a build folder makes dopplet_<version>_<arch>.deb with
# everything that `cmake --install` puts in place, under /usr, and the dependencies that
# dpkg-shlibdeps works out from the programs.

# The package's own documents: the copyright file and the change log.
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz COMMAND gzip -9nkf ${changelog} DEPENDS ${changelog}
                   VERBATIM)
add_custom_target(changelog_gz ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Folders and files as Debian wants them, whatever the umask of the machine that builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dopplet)
set(CPACK_PACKAGE_VENDOR "Dopplet authors")
set(CPACK_PACKAGE_CONTACT "Dopplet authors <${DOPPLET_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find files that are the same and remove surplus copies")
# The long description, in lines that fit Debian's 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Dopplet walks the folders you choose with all their subfolders and groups"
    "the files that have the same contents, the same name, or the same name"
    "without its extension. From the results you open, rename, move, inspect or"
    "delete single files to the trash, or delete all surplus copies at once"
    "while a must-not-delete list protects the folders and names you choose."
    "The program's texts are Japanese."
    "."
    "dopplet-find runs the same search without a window, for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DOPPLET_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in Japanese, and a font that draws them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
