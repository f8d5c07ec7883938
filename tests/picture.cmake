# Tests of the picture area.
quorvel_test(NAME picture_test
    SOURCES picture/cover_picture_test.cpp picture/cover_render_test.cpp
            picture/himetric_test.cpp picture/test_pictures.cpp
    LIBS quorvel_picture quorvel_gif)
quorvel_test(NAME gif_encoder_test
    SOURCES picture/gif_encoder_test.cpp picture/gif_strict_reader.cpp
    LIBS quorvel_gif Qt6::Gui
    GUI)

# The default cover as the viewer bundles it, plus one resource that is no
# picture at all.
quorvel_test(NAME cover_resource_test
    SOURCES picture/cover_resource_test.cpp
    LIBS quorvel_ui)
set_source_files_properties(picture/not_a_picture.txt PROPERTIES QT_RESOURCE_ALIAS TXT/5)
qt_add_resources(cover_resource_test cover_test_res PREFIX /res FILES picture/not_a_picture.txt)
