# The libFuzzer targets (clang only): every tests/fuzz/<name>_fuzz.cpp is one
# target `<name>_fuzz` built against the portable core with AddressSanitizer
# and UndefinedBehaviorSanitizer, and one ctest test `fuzz.<name>` that runs
# it over its seed corpus tests/fuzz/corpus/<name> for HS_FUZZ_RUNS inputs
# (a smoke run; scripts/fuzz.sh runs them for as long as asked).
# Included by the top-level CMakeLists.txt when HS_FUZZ is on, instead of the
# tests and the program.

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "HS_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
endif()
set(HS_FUZZ_RUNS 20000 CACHE STRING "Inputs each fuzz target tries in its ctest run")

set(HS_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(hscore PUBLIC ${HS_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
target_link_options(hscore INTERFACE -fsanitize=address,undefined)

file(GLOB HS_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src ${HS_FUZZ_SOURCES})
  get_filename_component(target ${src} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" name ${target})
  add_executable(${target} ${src})
  target_link_libraries(${target} PRIVATE hscore)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  add_test(NAME fuzz.${name}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run_fuzz.sh $<TARGET_FILE:${target}>
            ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name} ${CMAKE_BINARY_DIR}/fuzz-work/${name} ${HS_FUZZ_RUNS})
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endforeach()
