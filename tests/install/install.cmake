# What `cmake --install` puts on a system, and the Debian package.
set(QUORVEL_INSTALL_ROOT ${CMAKE_CURRENT_BINARY_DIR}/install-root)
add_test(NAME Install.Tree
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-install.sh
            ${PROJECT_BINARY_DIR} ${QUORVEL_INSTALL_ROOT} ${PROJECT_VERSION})
# Both install runs write the compressed manual pages into one build folder.
set_tests_properties(Install.Tree PROPERTIES FIXTURES_SETUP quorvel_installed
    RESOURCE_LOCK quorvel_install)

# `sudo quorvel -log 8` from /usr/bin, in a mount namespace of its own and
# under Xvfb: the log goes to root's state folder, nothing beside the program.
find_program(QUORVEL_UNSHARE unshare)
find_program(QUORVEL_XVFB_RUN xvfb-run)
if(QUORVEL_XVFB_RUN AND QUORVEL_XDOTOOL AND QUORVEL_UNSHARE)
    add_test(NAME Install.LogAsRoot
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-log-as-root.sh
                ${QUORVEL_INSTALL_ROOT})
    set_tests_properties(Install.LogAsRoot PROPERTIES FIXTURES_REQUIRED quorvel_installed
        RESOURCE_LOCK quorvel_install RUN_SERIAL TRUE SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()

# Builds a MIME database from the package file Install.Tree installed.
add_executable(mime_type_test install/mime_type_test.cpp)
target_link_libraries(mime_type_test PRIVATE Qt6::Core GTest::gtest GTest::gtest_main)
target_include_directories(mime_type_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(mime_type_test PRIVATE QUORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUORVEL_INSTALL_ROOT="${QUORVEL_INSTALL_ROOT}")
gtest_discover_tests(mime_type_test DISCOVERY_MODE PRE_TEST
    PROPERTIES FIXTURES_REQUIRED quorvel_installed)

quorvel_test(NAME thumbnailer_test
    SOURCES install/thumbnailer_test.cpp
    LIBS quorvel_thumbnail)
add_dependencies(thumbnailer_test quorvel-thumbnailer)
target_compile_definitions(thumbnailer_test PRIVATE
    QUORVEL_THUMBNAILER="$<TARGET_FILE:quorvel-thumbnailer>")

# cpack, dpkg-deb and lintian: the slowest test here, so one test only.
add_test(NAME Install.DebianPackage
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-package.sh
            ${PROJECT_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR}/package ${PROJECT_VERSION})
set_tests_properties(Install.DebianPackage PROPERTIES RESOURCE_LOCK quorvel_install)

# Each program's --help and --version against its manual page as installed.
add_test(NAME Install.Manuals
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/install/check_manuals.py ${PROJECT_VERSION}
            $<TARGET_FILE:quorvel>=${PROJECT_BINARY_DIR}/res/man/quorvel.1
            $<TARGET_FILE:quorvel-dump>=${PROJECT_BINARY_DIR}/res/man/quorvel-dump.1
            $<TARGET_FILE:quorvel-thumbnailer>=${PROJECT_BINARY_DIR}/res/man/quorvel-thumbnailer.1)
