# Host cost of the user-definable device window's bus operations, its slider and its
# definition files, in the real window inside the main window over the virtual adapter.
if(PARVEX_BUILD_GUI)
    add_executable(parvex_bench_device ${CMAKE_CURRENT_LIST_DIR}/device_bench.cpp)
    target_link_libraries(parvex_bench_device PRIVATE parvex_shell parvex_device_view parvex_sim
                                                      parvex_hid_virtual Qt6::Widgets)
    set_target_properties(parvex_bench_device PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                         ${CMAKE_BINARY_DIR}/bench)
    parvex_warnings(parvex_bench_device)
endif()
