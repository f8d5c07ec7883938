# Icon 128 and cursor 147. Icon group 128 is a folder holding both of its
# images; make-window-res.sh draws all three pictures.
set_source_files_properties(icon128-32.png PROPERTIES QT_RESOURCE_ALIAS "ICON/128/32x32.png")
set_source_files_properties(icon128-16.png PROPERTIES QT_RESOURCE_ALIAS "ICON/128/16x16.png")
set_source_files_properties(cursor147.png PROPERTIES QT_RESOURCE_ALIAS "CURSOR/147")
qt_add_resources(quorvel_ui window_res
    PREFIX "/res"
    FILES icon128-32.png icon128-16.png cursor147.png
)
