# The default cover, JPG 129: shown until a file's own cover replaces it.
# Redrawn by make-cover.sh; the JPEG itself is committed.
set_source_files_properties(cover129.jpg PROPERTIES QT_RESOURCE_ALIAS JPG/129)
qt_add_resources(quorvel_ui quorvel_res_cover PREFIX /res FILES cover129.jpg)
