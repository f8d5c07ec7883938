# The dump tool over whole collections: records, CSV, covers, streams.
add_test(NAME DumpCollection
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/collection_test.py
        --dump $<TARGET_FILE:quorvel-dump> --mkimage $<TARGET_FILE:quorvel-mkimage>)
