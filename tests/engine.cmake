# Tests of the engine: loader, renderer, display.
quorvel_test(NAME engine_tests SOURCES engine/engine_test.cpp LIBS quorvel_engine)
