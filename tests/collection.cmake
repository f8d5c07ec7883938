# The collection layer: query translation, search, schema and listing in
# process (collection_tests), and quorvel-dump --sqlite/--search on real
# trees with real processes (CollectionIndex); the tree watcher on real
# folders with inotify (CollectionWatch).
quorvel_test(NAME collection_tests
    SOURCES collection/collection_test.cpp collection/tree_watcher_test.cpp
    LIBS quorvel_collection)
if(QUORVEL_SANITIZE)
    # The hostile boxes are left out there (tests/hostile.cmake says why).
    add_test(NAME CollectionIndex
        COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/collection/index_test.py
            --dump $<TARGET_FILE:quorvel-dump>)
else()
    add_test(NAME CollectionIndex
        COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/collection/index_test.py
            --dump $<TARGET_FILE:quorvel-dump> --hostile-dir ${PROJECT_BINARY_DIR}/hostile)
    set_tests_properties(CollectionIndex PROPERTIES FIXTURES_REQUIRED hostile_files)
endif()
set_tests_properties(CollectionIndex PROPERTIES TIMEOUT 600)
