# Tests of the dump tool.
include(cli/collection.cmake)
