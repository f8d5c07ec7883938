# What `cmake --install` puts on a system, and the Debian package.
set(QUORVEL_INSTALL_ROOT ${CMAKE_CURRENT_BINARY_DIR}/install-root)
add_test(NAME Install.Tree
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-install.sh
            ${PROJECT_BINARY_DIR} ${QUORVEL_INSTALL_ROOT})
set_tests_properties(Install.Tree PROPERTIES FIXTURES_SETUP quorvel_installed)

quorvel_test(NAME thumbnailer_test
    SOURCES install/thumbnailer_test.cpp
    LIBS quorvel_thumbnail)
add_dependencies(thumbnailer_test quorvel-thumbnailer)
target_compile_definitions(thumbnailer_test PRIVATE
    QUORVEL_THUMBNAILER="$<TARGET_FILE:quorvel-thumbnailer>")

# cpack, dpkg-deb and lintian: the slowest test here, so one test only.
add_test(NAME Install.DebianPackage
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-package.sh
            ${PROJECT_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR}/package)
