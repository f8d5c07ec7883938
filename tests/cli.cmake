# Tests of the cli area.
