# Host cost of the adapter link over the virtual adapter.
add_executable(parvex_bench_adapter ${CMAKE_CURRENT_LIST_DIR}/adapter_bench.cpp)
target_link_libraries(parvex_bench_adapter PRIVATE parvex_adapter parvex_hid_virtual parvex_sim)
set_target_properties(parvex_bench_adapter PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
parvex_warnings(parvex_bench_adapter)
target_include_directories(parvex_bench_adapter PRIVATE ${PROJECT_SOURCE_DIR}/tests)
