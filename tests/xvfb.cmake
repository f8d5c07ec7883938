# The viewer, its about box and the collection window in a real X server
# (Xvfb), driven by xdotool.
find_program(QUORVEL_XVFB_RUN xvfb-run)
find_program(QUORVEL_XDOTOOL xdotool)
find_program(QUORVEL_IMPORT import)
find_program(QUORVEL_XCLIP xclip)
if(QUORVEL_XVFB_RUN AND QUORVEL_XDOTOOL AND QUORVEL_IMPORT)
    add_test(NAME XvfbViewer COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-smoke.sh)
    add_test(NAME XvfbAbout COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb-about.sh)
    set_tests_properties(XvfbViewer XvfbAbout PROPERTIES
        ENVIRONMENT "QUORVEL_BUILD_DIR=${PROJECT_BINARY_DIR}"
        RUN_SERIAL TRUE TIMEOUT 120)
else()
    message(STATUS "xvfb-run, xdotool or import missing: the Xvfb checks are left out")
endif()
# The collection window: search, sort, open and step, watching, thumbnails;
# it reads the rows and the viewer's text through the clipboard.
if(QUORVEL_XVFB_RUN AND QUORVEL_XDOTOOL AND QUORVEL_XCLIP)
    add_test(NAME XvfbCollection
        COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/xvfb_collection.py ${PROJECT_BINARY_DIR})
    set_tests_properties(XvfbCollection PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
else()
    message(STATUS "xvfb-run, xdotool or xclip missing: the collection window's Xvfb check is left out")
endif()
