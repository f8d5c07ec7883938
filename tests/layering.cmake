# The folders' include rules (the README's layout table) against the sources.
add_test(NAME Layering
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_layers.py ${PROJECT_SOURCE_DIR})
