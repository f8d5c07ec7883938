# Tests of the engine: loader and its status, renderer, display.
quorvel_test(NAME engine_tests
    SOURCES engine/engine_test.cpp engine/load_status_test.cpp
    LIBS quorvel_engine)
# The definition tables' ids, de-duplication and resets, and the note groups.
quorvel_test(NAME flat_table_tests
    SOURCES engine/flat_table_test.cpp
    LIBS quorvel_engine)
# Many boxes on many threads at once; also built alone under ThreadSanitizer
# (tools/test.sh, README).
quorvel_test(NAME engine_threads_tests
    SOURCES engine/threads_test.cpp
    LIBS quorvel_engine)
