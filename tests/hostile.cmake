# Hostile box files: small inputs that once cost seconds of CPU or gigabytes
# of memory. Made at test time into the build folder (one is a sparse 2 GiB
# file), then each is read by every program form (quorvel-dump in each of
# its forms, the thumbnailer, the viewer offscreen until its first paint)
# under a 1 GiB address space and a 10 s guard per form: a crash, a kill or
# an expired guard fails. Guards, not timings; `run_hostile.py --report`
# prints the figures each run records. Left out of sanitizer builds, whose
# shadow memory needs terabytes of address space and whose speed is no
# measure.
if(NOT QUORVEL_SANITIZE)
    set(hostile_dir ${PROJECT_BINARY_DIR}/hostile)
    set(hostile_make ${CMAKE_CURRENT_SOURCE_DIR}/hostile/make_hostile.py)
    execute_process(COMMAND python3 ${hostile_make} --list
        OUTPUT_VARIABLE hostile_cases OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    add_test(NAME Hostile.make COMMAND python3 ${hostile_make} ${hostile_dir})
    set_tests_properties(Hostile.make PROPERTIES FIXTURES_SETUP hostile_files TIMEOUT 300)
    foreach(case IN LISTS hostile_cases)
        add_test(NAME Hostile.${case}
            COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/hostile/run_hostile.py
                --dump $<TARGET_FILE:quorvel-dump>
                --thumbnailer $<TARGET_FILE:quorvel-thumbnailer>
                --viewer $<TARGET_FILE:quorvel> --dir ${hostile_dir} --case ${case})
        # Eight forms, each with its own guard inside.
        set_tests_properties(Hostile.${case} PROPERTIES
            FIXTURES_REQUIRED hostile_files TIMEOUT 90)
    endforeach()
endif()

# The bounds themselves: record text, covers.
quorvel_test(NAME bounds_test
    SOURCES bounds/record_text_bound_test.cpp bounds/cover_bounds_test.cpp
    LIBS quorvel_picture)
