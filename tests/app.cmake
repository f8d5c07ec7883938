# Tests of the app area.
quorvel_test(NAME app_text_util_test
    SOURCES app/text_util_test.cpp
    LIBS quorvel_engine)
quorvel_test(NAME app_platform_test
    SOURCES app/platform_test.cpp
    LIBS quorvel_engine)
quorvel_test(NAME app_log_test
    SOURCES app/log_test.cpp
    LIBS quorvel_engine)
quorvel_test(NAME app_log_initial_test
    SOURCES app/log_initial_test.cpp
    LIBS quorvel_engine)
quorvel_test(NAME app_applikation_test
    SOURCES app/applikation_test.cpp
    LIBS quorvel_engine)
