# PARVEX_SANITIZE: every target of the build (ours, the tests, the benchmarks) gets
# AddressSanitizer and UndefinedBehaviorSanitizer. gcc and clang take the same flags.
# Findings are made fatal at run time (halt_on_error in scripts/test --sanitize), so a
# developer who wants to see every finding of a run can still leave them recoverable.
if(PARVEX_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        message(FATAL_ERROR "PARVEX_SANITIZE needs gcc or clang, not ${CMAKE_CXX_COMPILER_ID}")
    endif()
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# PARVEX_FUZZ: the libFuzzer targets under fuzz/. libFuzzer is clang's; every library they
# link is instrumented for coverage (fuzzer-no-link) and checked by the sanitizers, and only
# the targets themselves bring the fuzzer's main.
if(PARVEX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "PARVEX_FUZZ needs clang (libFuzzer): configure with "
                            "-DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
