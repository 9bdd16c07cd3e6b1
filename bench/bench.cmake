# Benchmarks of the real program under Wine (cross build only; measuring
# tools run by hand, not ctest tests; see README.md, "Benchmarks").
# Included by cmake/tests.cmake after the end-to-end driver library.

set(HS_BENCH_OUT ${CMAKE_BINARY_DIR}/bench)

# Checking: pages on slow local sites (bench/far_sites.py) beside urlwatch,
# unchanged local files (the list benchmark's (e), run as a child), many
# missing local files, exit and memory with many documents.
add_executable(check_wine_bench ${CMAKE_CURRENT_LIST_DIR}/check_wine_bench.cpp)
set_target_properties(check_wine_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_BENCH_OUT})
target_link_libraries(check_wine_bench PRIVATE hs_e2e_driver psapi ws2_32)
add_dependencies(check_wine_bench e2e_list_bench)

# File operations in a directory of many files under Wine.
add_executable(dir_size_bench ${CMAKE_CURRENT_LIST_DIR}/dir_size_bench.cpp)
set_target_properties(dir_size_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_BENCH_OUT})
target_link_libraries(dir_size_bench PRIVATE hs_e2e_driver)
