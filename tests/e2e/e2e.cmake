# End-to-end tests: a Windows driver (GoogleTest) that starts the real
# Halvorsight.exe under Wine in fresh working directories and drives it by
# window messages. Included by cmake/tests.cmake in the cross build only.
#
# Each test case is its own ctest test, run through tests/e2e/run_e2e.sh,
# which runs the driver in the run's Wine prefix and, on failure, saves
# pictures of the screen under <build>/e2e-shots.

set(HS_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})
set(HS_E2E_OUT ${CMAKE_BINARY_DIR}/e2e)

if(TARGET GTest::gtest)
  set(HS_E2E_GTEST GTest::gtest)
else()
  set(HS_E2E_GTEST gtest)
endif()

# The menu probe, loaded into the program to read its menus in-process.
add_library(hs_menu_probe MODULE ${HS_E2E_DIR}/probe/menu_probe.cpp ${HS_E2E_DIR}/probe/controls_probe.cpp)
set_target_properties(hs_menu_probe PROPERTIES
  PREFIX "" OUTPUT_NAME hs_menu_probe
  LIBRARY_OUTPUT_DIRECTORY ${HS_E2E_OUT} RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
# No runtime DLLs beside it: it must load into the program as it is.
target_link_options(hs_menu_probe PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(hs_menu_probe PRIVATE user32 kernel32)

# The driver helpers: processes, windows, remote control reads, dialogs,
# keys, menus, tray, screenshots, record files, and the test fixture.
file(GLOB HS_E2E_DRIVER_SOURCES CONFIGURE_DEPENDS ${HS_E2E_DIR}/driver/*.cpp)
list(FILTER HS_E2E_DRIVER_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(hs_e2e_driver STATIC ${HS_E2E_DRIVER_SOURCES})
target_include_directories(hs_e2e_driver PUBLIC ${HS_E2E_DIR}/driver)
target_link_libraries(hs_e2e_driver PUBLIC hscore ${HS_E2E_GTEST} comctl32 gdi32 user32 kernel32)

# The stand-in browser and file opener that the opening cases register.
add_executable(hs_open_recorder WIN32 ${HS_E2E_DIR}/recorder/open_recorder.cpp)
set_target_properties(hs_open_recorder PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})

file(GLOB HS_E2E_CASE_SOURCES CONFIGURE_DEPENDS ${HS_E2E_DIR}/cases/*.cpp)
add_executable(e2e_driver ${HS_E2E_DIR}/driver/main.cpp ${HS_E2E_CASE_SOURCES})
set_target_properties(e2e_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
# version, ole32, uuid: the package cases read version resources and shortcuts.
target_link_libraries(e2e_driver PRIVATE hs_e2e_driver version ole32 uuid shell32 advapi32)
add_dependencies(e2e_driver hs_menu_probe hs_open_recorder)

# The FTP servers of the FTP cases (tests/servers): the real one on
# 127.0.0.1:21 and the hostile ones on 127.0.0.2 to 127.0.0.4, started by a
# fixture and stopped by their PIDs.
set(HS_FTP_STATE ${CMAKE_BINARY_DIR}/ftp-state)
add_test(NAME ftp_servers_start COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/start_ftp.sh ${HS_FTP_STATE})
add_test(NAME ftp_servers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/stop_ftp.sh ${HS_FTP_STATE})
set_tests_properties(ftp_servers_start PROPERTIES FIXTURES_SETUP ftp_servers TIMEOUT 60)
set_tests_properties(ftp_servers_stop PROPERTIES FIXTURES_CLEANUP ftp_servers TIMEOUT 30)

set(HS_KILL_ROUNDS 12 CACHE STRING "Kills of the program in the kill test")

# The tests are registered at the end of the top directory, when the
# program's target (defined after the tests) is known.
function(hs_e2e_add_tests)
  if(NOT TARGET Halvorsight)
    message(STATUS "e2e: no Halvorsight target yet, end-to-end tests not registered")
    return()
  endif()
  set(cases "")
  foreach(src ${HS_E2E_CASE_SOURCES})
    file(STRINGS ${src} lines REGEX "^TEST_F\\(")
    foreach(line ${lines})
      string(REGEX REPLACE "^TEST_F\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\).*" "\\1.\\2" name "${line}")
      list(APPEND cases ${name})
    endforeach()
  endforeach()
  # Cases that wait for the program's own timers get more time.
  set(slow_cases TimersTest.PeriodicCheckRunsByItselfAfterItsMinutes)
  foreach(name ${cases})
    set(timeout 60)
    if(name IN_LIST slow_cases)
      set(timeout 150)
    endif()
    set(runner ${HS_E2E_DIR}/run_e2e.sh)
    if(name MATCHES "^FullDiskTest\\.")
      set(runner ${HS_E2E_DIR}/full_disk.sh)
    endif()
    add_test(NAME e2e.${name}
      COMMAND ${runner} ${CMAKE_BINARY_DIR} ${name}
              $<TARGET_FILE:e2e_driver> --program=$<TARGET_FILE:Halvorsight> --gtest_filter=${name})
    # One desktop, one single-instance rule, one tray, one keyboard focus:
    # the cases run one at a time.
    set_tests_properties(e2e.${name} PROPERTIES
      FIXTURES_REQUIRED wine
      RESOURCE_LOCK hs_wine_desktop
      ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE}"
      LABELS e2e
      TIMEOUT ${timeout})
    if(name MATCHES "^(FtpTest|PropertiesFtpTest)\\.")
      set_tests_properties(e2e.${name} PROPERTIES
        FIXTURES_REQUIRED "wine;ftp_servers"
        ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE};HS_FTP_STATE=${HS_FTP_STATE}")
    endif()
    # Package cases install the installer the build made into the prefix.
    if(name MATCHES "^PackageTest\\.")
      set_tests_properties(e2e.${name} PROPERTIES
        ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE};HS_INSTALLER=${HS_INSTALLER_FILE}"
        TIMEOUT 120)
    endif()
    # Web cases talk to the local web servers (tests/servers).
    if(name MATCHES "^WebTest\\.")
      set_tests_properties(e2e.${name} PROPERTIES
        FIXTURES_REQUIRED "wine;web_servers"
        ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE};HS_WEB_STATE=${HS_WEB_STATE}"
        LABELS "e2e;web"
        TIMEOUT 90)
    endif()
    # The full-disk case runs on a tmpfs that its wrapper mounts; skipped
    # (exit 77) where mounting is not permitted.
    if(name MATCHES "^FullDiskTest\\.")
      set_tests_properties(e2e.${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
    # The kill test: HS_KILL_ROUNDS kills (CI's count; the full run sets
    # more), a few seconds each.
    if(name MATCHES "^KillTest\\.")
      math(EXPR kill_timeout "60 + 6 * ${HS_KILL_ROUNDS}")
      set_tests_properties(e2e.${name} PROPERTIES
        FIXTURES_REQUIRED "wine;web_servers"
        ENVIRONMENT "HS_WINE_STATE=${HS_WINE_STATE};HS_WEB_STATE=${HS_WEB_STATE};HS_KILL_ROUNDS=${HS_KILL_ROUNDS}"
        TIMEOUT ${kill_timeout})
    endif()
  endforeach()
  # The unit tests' own windows share the desktop and its foreground.
  if(TEST unit_tests_wine)
    set_property(TEST unit_tests_wine APPEND PROPERTY RESOURCE_LOCK hs_wine_desktop)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL hs_e2e_add_tests)

# The pictures of the manual and the README (scripts/manual_screenshots.sh;
# not a ctest test).
add_executable(e2e_manual_shots ${HS_E2E_DIR}/driver/main.cpp ${HS_E2E_DIR}/shots/manual_shots.cpp)
set_target_properties(e2e_manual_shots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HS_E2E_OUT})
target_link_libraries(e2e_manual_shots PRIVATE hs_e2e_driver ws2_32)
