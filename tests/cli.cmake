# Tests of the dump tool.
quorvel_test(NAME dump_tests SOURCES cli/dump_test.cpp LIBS quorvel_dump)
add_dependencies(dump_tests quorvel-dump)
target_compile_definitions(dump_tests PRIVATE QUORVEL_VERSION="${PROJECT_VERSION}")
include(cli/collection.cmake)
