# The shared thumbnail cache, checked against GLib's names and ImageMagick's
# reading of the entries.
quorvel_test(NAME thumbnail_cache_tests
    SOURCES thumbnails/thumbnail_cache_test.cpp
    LIBS quorvel_picture)
