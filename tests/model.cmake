# The dump tool against the independent model, on ~400 generated files.
add_test(NAME ModelAgreement
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/model/check_model.py
        --dump $<TARGET_FILE:quorvel-dump> --mkimage $<TARGET_FILE:quorvel-mkimage>)
add_custom_target(model_agreement_tools ALL)
add_dependencies(model_agreement_tools quorvel-dump quorvel-mkimage)
# The committed example boxes against their descriptions.
add_test(NAME ExamplesMatch COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/examples/examples_match.sh)
