# Tests of the about area.
