# Benchmarks: measuring tools run by hand, not ctest tests (see README.md,
# "Benchmarks"). Included by cmake/tests.cmake.
#   core/  the portable core natively (Google Benchmark): core_bench
#   wine/  the real program under Wine (cross build, with the end-to-end
#          driver library): the check, list, paint and directory benchmarks

if(NOT WIN32)
  file(GLOB HS_CORE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/core/*.cpp)
  find_package(benchmark QUIET)
  if(HS_CORE_BENCH_SOURCES AND benchmark_FOUND)
    add_executable(core_bench ${HS_CORE_BENCH_SOURCES})
    target_link_libraries(core_bench PRIVATE hscore benchmark::benchmark)
  endif()
  return()
endif()

set(HS_BENCH_WINE ${CMAKE_CURRENT_LIST_DIR}/wine)
set(HS_BENCH_OUT ${CMAKE_BINARY_DIR}/bench)

# The list under Wine and the bare record reader it compares the program
# with; they stay beside the end-to-end driver, where the check benchmark
# looks for them.
add_executable(hs_bare_record_read ${HS_BENCH_WINE}/bare_record_read.cpp)
set_target_properties(hs_bare_record_read PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
add_executable(e2e_list_bench ${HS_BENCH_WINE}/list_wine_bench.cpp)
set_target_properties(e2e_list_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
target_link_libraries(e2e_list_bench PRIVATE hs_e2e_driver psapi)
add_dependencies(e2e_list_bench hs_bare_record_read)
# The list's painting over the background picture.
add_executable(e2e_paint_bench ${HS_BENCH_WINE}/paint_wine_bench.cpp)
set_target_properties(e2e_paint_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
target_link_libraries(e2e_paint_bench PRIVATE hs_e2e_driver)

# Checking: pages on slow local sites (bench/far_sites.py) beside urlwatch,
# unchanged local files (the list benchmark's (e), run as a child), many
# missing local files, exit and memory with many documents.
add_executable(check_wine_bench ${HS_BENCH_WINE}/check_wine_bench.cpp)
set_target_properties(check_wine_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_BENCH_OUT})
target_link_libraries(check_wine_bench PRIVATE hs_e2e_driver psapi ws2_32)
add_dependencies(check_wine_bench e2e_list_bench)

# File operations in a directory of many files under Wine.
add_executable(dir_size_bench ${HS_BENCH_WINE}/dir_size_bench.cpp)
set_target_properties(dir_size_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_BENCH_OUT})
target_link_libraries(dir_size_bench PRIVATE hs_e2e_driver)
