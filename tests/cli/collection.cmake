# The dump tool over whole collections: records, CSV, covers, streams.
quorvel_test(NAME records_tests SOURCES cli/records_test.cpp LIBS quorvel_dump)
add_test(NAME DumpCollection
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/collection_test.py
        --dump $<TARGET_FILE:quorvel-dump> --mkimage $<TARGET_FILE:quorvel-mkimage>)
