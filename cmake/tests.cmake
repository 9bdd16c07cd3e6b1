# Unit tests of the core: natively with the system's GoogleTest, and in the
# cross build as Windows programs run by Wine. End-to-end tests of the real
# program exist only in the cross build.

file(GLOB HS_UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
# Tests of the Windows adapters themselves run only as Windows programs.
file(GLOB HS_WIN32_UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/win32/*.cpp)

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(HS_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
  set(HS_GTEST_MAIN GTest::gtest_main)
endif()
include(GoogleTest)

add_executable(unit_tests ${HS_UNIT_TEST_SOURCES} $<$<BOOL:${WIN32}>:${HS_WIN32_UNIT_TEST_SOURCES}>)
target_link_libraries(unit_tests PRIVATE hscore ${HS_GTEST_MAIN} GTest::gmock)
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)

if(CMAKE_CROSSCOMPILING)
  # A Wine prefix, an Xvfb display and one persistent wineserver for the
  # whole run: set up by a fixture, stopped by its PIDs in the cleanup.
  set(HS_WINE_STATE ${CMAKE_BINARY_DIR}/wine-state)
  add_test(NAME wine_setup COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/setup.sh ${HS_WINE_STATE})
  add_test(NAME wine_cleanup COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/cleanup.sh ${HS_WINE_STATE})
  set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
  set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

  # The web servers of the end-to-end web cases (tests/servers): started
  # with a test CA that only the run's prefix trusts, stopped by PID.
  set(HS_WEB_STATE ${CMAKE_BINARY_DIR}/web-state)
  add_test(NAME web_setup COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/start_web.sh ${HS_WEB_STATE})
  add_test(NAME web_cleanup COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/stop_web.sh ${HS_WEB_STATE})
  set_tests_properties(web_setup PROPERTIES FIXTURES_SETUP web_servers FIXTURES_REQUIRED wine TIMEOUT 60
    ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE}")
  set_tests_properties(web_cleanup PROPERTIES FIXTURES_CLEANUP web_servers FIXTURES_REQUIRED wine TIMEOUT 60
    ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE}")

  add_test(NAME unit_tests_wine COMMAND unit_tests --gtest_color=no)
  set_tests_properties(unit_tests_wine PROPERTIES
    FIXTURES_REQUIRED wine TIMEOUT 600
    ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE}")
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
    include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
    include(${CMAKE_SOURCE_DIR}/bench/bench.cmake)
  endif()
else()
  gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  # The build-time image and sound generators.
  find_package(Python3 COMPONENTS Interpreter)
  if(Python3_FOUND)
    add_test(NAME image_and_sound_generators
             COMMAND ${Python3_EXECUTABLE} -m unittest discover -s ${CMAKE_SOURCE_DIR}/tests/tools)
    set_tests_properties(image_and_sound_generators PROPERTIES TIMEOUT 120)
  endif()
  include(${CMAKE_SOURCE_DIR}/bench/bench.cmake)
endif()
