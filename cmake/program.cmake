# The Windows program: the thin Win32 layer over the core, and its resources.
#
# hsui holds every Win32 source except the entry point, so that the unit
# tests of the Windows adapters link the same code as Halvorsight.exe.
# Beside the program the build puts Halvorsight.sound and manual.html.
file(GLOB HS_UI_SOURCES CONFIGURE_DEPENDS
  app/win32/*.cpp listview/win32/*.cpp dialogs/win32/*.cpp)
set(HS_ENTRY_SOURCE ${CMAKE_SOURCE_DIR}/app/win32/win_main.cpp)
list(REMOVE_ITEM HS_UI_SOURCES ${HS_ENTRY_SOURCE})

if(NOT HS_UI_SOURCES OR NOT EXISTS ${HS_ENTRY_SOURCE})
  return()
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# ---------------------------------------------------------------- generated
set(HS_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(HS_IMAGE_FILES
  ${HS_GENERATED_DIR}/toolbar_normal.bmp
  ${HS_GENERATED_DIR}/toolbar_hot.bmp
  ${HS_GENERATED_DIR}/status_images.bmp
  ${HS_GENERATED_DIR}/status_images_24.bmp
  ${HS_GENERATED_DIR}/status_images_32.bmp
  ${HS_GENERATED_DIR}/toolbar_normal_150.bmp
  ${HS_GENERATED_DIR}/toolbar_hot_150.bmp
  ${HS_GENERATED_DIR}/toolbar_normal_200.bmp
  ${HS_GENERATED_DIR}/toolbar_hot_200.bmp
  ${HS_GENERATED_DIR}/halvorsight.ico
  ${HS_GENERATED_DIR}/about.ico
  ${HS_GENERATED_DIR}/blink.ico
  ${HS_GENERATED_DIR}/background.bmp
  ${HS_GENERATED_DIR}/empty_background.bmp)
add_custom_command(
  OUTPUT ${HS_IMAGE_FILES}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_images.py ${HS_GENERATED_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_images.py
  COMMENT "Generating the program's images"
  VERBATIM)

set(HS_SOUND_FILE ${CMAKE_BINARY_DIR}/Halvorsight.sound)
add_custom_command(
  OUTPUT ${HS_SOUND_FILE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_sound.py ${HS_SOUND_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_sound.py
  COMMENT "Generating Halvorsight.sound"
  VERBATIM)

set(HS_MANUAL_FILE ${CMAKE_BINARY_DIR}/manual.html)
file(GLOB HS_MANUAL_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/images/*.png)
add_custom_command(
  OUTPUT ${HS_MANUAL_FILE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/inline_images.py
          ${CMAKE_SOURCE_DIR}/docs/manual.html ${HS_MANUAL_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/manual.html ${CMAKE_SOURCE_DIR}/tools/inline_images.py ${HS_MANUAL_IMAGES}
  COMMENT "Writing manual.html with its pictures"
  VERBATIM)

add_custom_target(hs_images DEPENDS ${HS_IMAGE_FILES})
add_custom_target(hs_program_files ALL DEPENDS ${HS_SOUND_FILE} ${HS_MANUAL_FILE})

# ---------------------------------------------------------------- resources
# Dialog templates of other parts of the program live in res/dialogs/*.rc;
# the main script includes every one of them through this generated file.
file(GLOB HS_DIALOG_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/dialogs/*.rc)
set(HS_DIALOG_INCLUDES "/* Generated: the dialog templates of res/dialogs. */\n")
foreach(rc IN LISTS HS_DIALOG_RC)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${rc})
  string(APPEND HS_DIALOG_INCLUDES "#include \"${rel}\"\n")
endforeach()
file(CONFIGURE OUTPUT ${HS_GENERATED_DIR}/dialog_templates.rc CONTENT "${HS_DIALOG_INCLUDES}")

set(HS_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/res/halvorsight.rc)
file(GLOB HS_RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
  ${CMAKE_SOURCE_DIR}/res/*.manifest
  ${CMAKE_SOURCE_DIR}/res/dialogs/*.rc ${CMAKE_SOURCE_DIR}/res/dialogs/*.h)
set_source_files_properties(${HS_RESOURCE_SCRIPT} PROPERTIES
  OBJECT_DEPENDS "${HS_IMAGE_FILES};${HS_RESOURCE_INPUTS};${HS_GENERATED_DIR}/dialog_templates.rc")
set(HS_RC_FLAGS "-I${HS_GENERATED_DIR} -I${CMAKE_SOURCE_DIR}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} ${HS_RC_FLAGS}")

# ---------------------------------------------------------------- targets
add_library(hsui STATIC ${HS_UI_SOURCES})
target_link_libraries(hsui PUBLIC hscore)
target_include_directories(hsui PUBLIC ${CMAKE_SOURCE_DIR})
add_dependencies(hsui hs_images)

add_executable(Halvorsight WIN32 ${HS_ENTRY_SOURCE} ${HS_RESOURCE_SCRIPT})
target_link_libraries(Halvorsight PRIVATE hsui)
add_dependencies(Halvorsight hs_images hs_program_files)
# Sections laid out on page boundaries in the file, as in memory. A loader
# that cannot map a section straight from the file (Wine, with the linker's
# default of 512) reads every section into memory at start, the debugging
# information included: 15 MB of working set the program never touches.
target_link_options(Halvorsight PRIVATE -Wl,--file-alignment,4096)

# The adapters' unit tests load the program's menus, strings and images.
if(TARGET unit_tests)
  target_sources(unit_tests PRIVATE ${HS_RESOURCE_SCRIPT})
  target_link_libraries(unit_tests PRIVATE hsui)
  add_dependencies(unit_tests hs_images)
endif()

# ---------------------------------------------------------------- packages
include(${CMAKE_SOURCE_DIR}/packaging/package.cmake)
