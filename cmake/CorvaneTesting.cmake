# corvane_add_test(NAME target [ISOLATED] [LABELS l...])
# Adds a test that runs the whole GoogleTest binary. ISOLATED runs it in a network namespace of
# its own, for everything that opens mailslots or could reach the clock.
function(corvane_add_test)
    cmake_parse_arguments(ARG "ISOLATED" "NAME;TARGET" "LABELS" ${ARGN})
    if(ARG_ISOLATED)
        add_test(NAME ${ARG_NAME}
                 COMMAND ${PROJECT_SOURCE_DIR}/tests/isolation/run-isolated $<TARGET_FILE:${ARG_TARGET}>)
    else()
        add_test(NAME ${ARG_NAME} COMMAND $<TARGET_FILE:${ARG_TARGET}>)
    endif()
    set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT 300)
    if(ARG_LABELS)
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
