# The default cover, JPG 129.
