# The about box animations and anything else the about box shows.

# The version block. tools/mkversion.py turns version.json into a C++ array
# placed in the ELF section .quorvel_version; the object library is linked
# into the quorvel executable (app/CMakeLists.txt), so the block is part of
# that file and is read back from it by app/version_info.cpp.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUORVEL_VERSION_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/version_block.cpp)
add_custom_command(
    OUTPUT ${QUORVEL_VERSION_SOURCE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/mkversion.py
            ${CMAKE_CURRENT_SOURCE_DIR}/version.json --cpp ${QUORVEL_VERSION_SOURCE}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkversion.py ${CMAKE_CURRENT_SOURCE_DIR}/version.json
    COMMENT "Writing the version block from res/version.json"
    VERBATIM)
add_library(quorvel_version OBJECT ${QUORVEL_VERSION_SOURCE})
set_target_properties(quorvel_version PROPERTIES AUTOMOC OFF AUTORCC OFF)
