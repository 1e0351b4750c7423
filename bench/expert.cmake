# Host cost of the expert window's sending and data files, in the real window inside the main
# window over the virtual adapter. Runs with QT_QPA_PLATFORM=offscreen.
if(PARVEX_BUILD_GUI)
    add_executable(parvex_bench_expert ${CMAKE_CURRENT_LIST_DIR}/expert_bench.cpp)
    target_link_libraries(parvex_bench_expert PRIVATE parvex_shell parvex_expert_view parvex_sim
                                                      parvex_hid_virtual Qt6::Widgets)
    set_target_properties(parvex_bench_expert PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                         ${CMAKE_BINARY_DIR}/bench)
    parvex_warnings(parvex_bench_expert)
endif()
