# Tests of the ui area: the main window, its text view and features, offscreen.
find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME ui_tests
    SOURCES ui/ui_test.cpp ui/text_feeder_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
