# parvex-cli: host cost of programming and verifying a 2048-byte EEPROM in one run over the
# virtual adapter, and the time a run takes to reach the adapter.
add_executable(parvex_bench_cli ${CMAKE_CURRENT_LIST_DIR}/cli_bench.cpp)
target_link_libraries(parvex_bench_cli PRIVATE parvex_cli_core)
target_compile_definitions(parvex_bench_cli PRIVATE PARVEX_CLI="$<TARGET_FILE:parvex-cli>")
add_dependencies(parvex_bench_cli parvex-cli)
set_target_properties(parvex_bench_cli PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
parvex_warnings(parvex_bench_cli)
