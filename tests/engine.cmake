# Tests of the engine: loader and its status, renderer, display.
quorvel_test(NAME engine_tests
    SOURCES engine/engine_test.cpp engine/load_status_test.cpp
    LIBS quorvel_engine)
