# Tests of the ui area: the main window, its text view and features, the
# dialog templates, offscreen.
find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME ui_tests
    SOURCES ui/ui_test.cpp ui/viewer_features_test.cpp ui/dialog_template_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
