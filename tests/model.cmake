# The independent reference model of the box format and record text, checked
# against known answers worked out by hand.
add_test(NAME RefModel COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/refmodel_test.py)
# The dump tool against the independent model, on ~400 generated files.
add_test(NAME ModelAgreement
    COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/check_model.py
        --dump $<TARGET_FILE:quorvel-dump> --mkimage $<TARGET_FILE:quorvel-mkimage>)
add_custom_target(model_agreement_tools ALL)
add_dependencies(model_agreement_tools quorvel-dump quorvel-mkimage)
