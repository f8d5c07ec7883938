# Tests of the about area.

# The raw version block, written by the same script as the one in the
# executable, so the tests can compare the embedded copy byte for byte.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUORVEL_VERSION_BLOCK_FILE ${CMAKE_CURRENT_BINARY_DIR}/version_block.bin)
add_custom_command(
    OUTPUT ${QUORVEL_VERSION_BLOCK_FILE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/mkversion.py
            ${PROJECT_SOURCE_DIR}/res/version.json --bin ${QUORVEL_VERSION_BLOCK_FILE}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkversion.py ${PROJECT_SOURCE_DIR}/res/version.json
    VERBATIM)
add_custom_target(about_version_block_file DEPENDS ${QUORVEL_VERSION_BLOCK_FILE})

quorvel_test(NAME about_elf_section_test
    SOURCES about/elf_section_test.cpp
    LIBS quorvel_engine)
quorvel_test(NAME about_version_info_test
    SOURCES about/version_info_test.cpp
    LIBS quorvel_engine Qt6::Core)
foreach(t about_elf_section_test about_version_info_test)
    # Both read the built quorvel executable and the raw block.
    add_dependencies(${t} quorvel about_version_block_file)
    target_compile_definitions(${t} PRIVATE
        QUORVEL_VERSION_BLOCK_FILE="${QUORVEL_VERSION_BLOCK_FILE}")
endforeach()

find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME about_dlg_test
    SOURCES about/about_dlg_test.cpp
    LIBS quorvel_ui quorvel_gif Qt6::Test
    GUI)
add_dependencies(about_dlg_test quorvel)
