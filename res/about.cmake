# The about box animations and anything else the about box shows.

# The version block. tools/mkversion.py turns version.json (configured from
# version.json.in in res/CMakeLists.txt) into a C++ array
# placed in the ELF section .quorvel_version; the object library is linked
# into the quorvel executable (viewer/CMakeLists.txt), so the block is part of
# that file and is read back from it by app/version_info.cpp.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUORVEL_VERSION_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/version_block.cpp)
add_custom_command(
    OUTPUT ${QUORVEL_VERSION_SOURCE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/mkversion.py
            ${CMAKE_CURRENT_BINARY_DIR}/version.json --cpp ${QUORVEL_VERSION_SOURCE}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkversion.py ${CMAKE_CURRENT_BINARY_DIR}/version.json
    COMMENT "Writing the version block from version.json"
    VERBATIM)
add_library(quorvel_version OBJECT ${QUORVEL_VERSION_SOURCE})
set_target_properties(quorvel_version PROPERTIES AUTOMOC OFF AUTORCC OFF)

# The two animations, AVI 153 (about box) and AVI 130 (dedication): animated
# GIFs played by QMovie. make-about-animations.sh redraws them; the GIFs
# themselves are committed.
set_source_files_properties(avi153.gif PROPERTIES QT_RESOURCE_ALIAS AVI/153)
set_source_files_properties(avi130.gif PROPERTIES QT_RESOURCE_ALIAS AVI/130)
qt_add_resources(quorvel_ui quorvel_res_about PREFIX /res FILES avi153.gif avi130.gif)
