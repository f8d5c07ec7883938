# Icon 128 and cursor 147.
