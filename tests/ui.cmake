# Tests of the ui area: the main window and its text view, offscreen.
find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME ui_tests
    SOURCES ui/ui_test_main.cpp ui/viewer_text_test.cpp ui/viewer_dlg_test.cpp
            ui/viewer_layout_test.cpp ui/drop_edit_test.cpp ui/dialog_template_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
# The viewer's finishing features, with the same offscreen main.
quorvel_test(NAME ui_feature_tests
    SOURCES ui/ui_test_main.cpp ui/viewer_features_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
# Record texts of very many lines, fed to the view in slices.
quorvel_test(NAME ui_feeder_tests
    SOURCES ui/ui_test_main.cpp ui/text_feeder_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
