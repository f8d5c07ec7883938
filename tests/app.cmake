# Tests of the app area.
quorvel_test(NAME app_tests SOURCES app/app_test.cpp LIBS quorvel_engine)
