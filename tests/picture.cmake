# Tests of the picture area; the window library brings the default cover.
quorvel_test(NAME picture_tests SOURCES picture/picture_test.cpp LIBS quorvel_ui)
