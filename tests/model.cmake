# The independent reference model of the box format and record text, checked
# against known answers worked out by hand.
add_test(NAME RefModel COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/refmodel_test.py)
