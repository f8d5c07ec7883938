# The dump tool over whole collections: records, CSV, covers, streams.
add_test(NAME DumpCollection
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/collection_test.py
        --dump $<TARGET_FILE:quorvel-dump> --mkimage $<TARGET_FILE:quorvel-mkimage>)
if(QUORVEL_SANITIZE)
    # The sanitizer's quarantine holds freed memory back, so peaks say
    # nothing about streaming there; the plain build measures them.
    set_tests_properties(DumpCollection PROPERTIES ENVIRONMENT QUORVEL_SANITIZED=1)
endif()
