# Tests of the picture area.
