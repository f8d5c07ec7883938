# Tests of the about area.

# The raw version block, written by the same script as the one in the
# executable, so the tests can compare the embedded copy byte for byte.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUORVEL_VERSION_BLOCK_FILE ${CMAKE_CURRENT_BINARY_DIR}/version_block.bin)
add_custom_command(
    OUTPUT ${QUORVEL_VERSION_BLOCK_FILE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/mkversion.py
            ${PROJECT_BINARY_DIR}/res/version.json --bin ${QUORVEL_VERSION_BLOCK_FILE}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkversion.py ${PROJECT_BINARY_DIR}/res/version.json
    VERBATIM)
add_custom_target(about_version_block_file DEPENDS ${QUORVEL_VERSION_BLOCK_FILE})

find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME about_tests
    SOURCES about/about_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
# They read the built quorvel executable and the raw block.
add_dependencies(about_tests quorvel about_version_block_file)
target_compile_definitions(about_tests PRIVATE
    QUORVEL_VERSION_BLOCK_FILE="${QUORVEL_VERSION_BLOCK_FILE}" QUORVEL_VERSION="${PROJECT_VERSION}")
