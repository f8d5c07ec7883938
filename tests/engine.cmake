# Tests of the engine: loader, renderer, display.
quorvel_test(NAME engine_tests
    SOURCES engine/render_token_test.cpp engine/definitions_test.cpp
            engine/display_test.cpp engine/loader_test.cpp
            engine/truncation_test.cpp
    LIBS quorvel_engine)
# The loader's status for each failure, and the texts as shown.
quorvel_test(NAME load_status_tests
    SOURCES engine/load_status_test.cpp engine/shown_text_test.cpp
    LIBS quorvel_engine)
# The definition tables' ids, de-duplication and resets, and the note groups.
quorvel_test(NAME flat_table_tests
    SOURCES engine/flat_table_test.cpp
    LIBS quorvel_engine)
