# Tests of the app area.
quorvel_test(NAME app_text_util_test
    SOURCES app/text_util_test.cpp
    LIBS quorvel_engine)
