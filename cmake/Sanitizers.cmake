# CORVANE_SANITIZE selects one instrumented build per build directory:
#   address  - AddressSanitizer with UndefinedBehaviorSanitizer (leak check included)
#   thread   - ThreadSanitizer
#   fuzz     - libFuzzer targets with ASan+UBSan (needs clang)
set(CORVANE_SANITIZE "" CACHE STRING "address, thread, fuzz or empty")

if(CORVANE_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(CORVANE_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(CORVANE_SANITIZE STREQUAL "fuzz")
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(NOT CORVANE_SANITIZE STREQUAL "")
    message(FATAL_ERROR "unknown CORVANE_SANITIZE value: ${CORVANE_SANITIZE}")
endif()
