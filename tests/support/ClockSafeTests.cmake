# corvane_add_clock_safe_tests(TARGET [LABELS ...])
# Registers the GoogleTest cases of TARGET so that both their listing and their runs go through
# run-without-clock-right: nothing they start can set the machine's clock. TARGET should link
# corvane_test_main_clock_guarded, which refuses to run with the right held.
include_guard(GLOBAL)
include(GoogleTest)

function(corvane_add_clock_safe_tests target)
    cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
    set_target_properties(${target} PROPERTIES
        CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/run-without-clock-right)
    if(ARG_LABELS)
        gtest_discover_tests(${target} PROPERTIES LABELS "${ARG_LABELS}")
    else()
        gtest_discover_tests(${target})
    endif()
endfunction()
