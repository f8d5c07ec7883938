# Tests of the engine area.
