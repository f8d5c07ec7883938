# Tests of the tools area.
add_test(NAME BoxWriter COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/boxwriter_test.py)
