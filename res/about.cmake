# The about box animations and anything else the about box shows.
