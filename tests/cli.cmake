# Tests of the dump tool.
quorvel_test(NAME dump_tests SOURCES cli/dump_test.cpp LIBS quorvel_dump)
add_dependencies(dump_tests quorvel-dump)
include(cli/collection.cmake)
