# The viewer, its about box and the collection window in a real X server
# (Xvfb), driven by xdotool. Each check starts its own server
# (tools/xvfb-session.sh).
find_program(QUORVEL_XVFB Xvfb)
find_program(QUORVEL_XDOTOOL xdotool)
find_program(QUORVEL_IMPORT import)
find_program(QUORVEL_XCLIP xclip)
if(QUORVEL_XVFB AND QUORVEL_XDOTOOL AND QUORVEL_IMPORT)
    add_test(NAME XvfbViewer COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-smoke.sh)
    add_test(NAME XvfbAbout COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-about.sh)
    add_test(NAME XvfbResponsive COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-responsive.sh)
    set_tests_properties(XvfbViewer XvfbAbout XvfbResponsive PROPERTIES
        ENVIRONMENT "QUORVEL_BUILD_DIR=${PROJECT_BINARY_DIR}"
        RUN_SERIAL TRUE TIMEOUT 120)
else()
    message(STATUS "Xvfb, xdotool or import missing: the Xvfb checks are left out")
endif()
# The collection window: search, sort, open and step, watching, thumbnails;
# it reads the rows and the viewer's text through the clipboard.
if(QUORVEL_XVFB AND QUORVEL_XDOTOOL AND QUORVEL_XCLIP)
    add_test(NAME XvfbCollection COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-collection.sh)
    set_tests_properties(XvfbCollection PROPERTIES
        ENVIRONMENT "QUORVEL_BUILD_DIR=${PROJECT_BINARY_DIR}"
        RUN_SERIAL TRUE TIMEOUT 120)
else()
    message(STATUS "Xvfb, xdotool or xclip missing: the collection window's Xvfb check is left out")
endif()
