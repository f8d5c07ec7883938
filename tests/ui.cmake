# Tests of the ui area.
