# What a Windows user downloads: the installer (made by makensis from
# packaging/halvorsight.nsi) and the portable zip, both with Halvorsight.exe,
# Halvorsight.sound and manual.html. One target, "package", makes both; it
# is part of the default build when makensis is installed.
# Included by cmake/program.cmake once the program's targets exist.

# Version, maker and web pages as the resources state them.
function(hs_header_text file name out)
  file(STRINGS ${file} line REGEX "#define +${name} ")
  string(REGEX REPLACE ".*#define +${name} +\"?([^\"]*)\"?.*" "\\1" value "${line}")
  string(STRIP "${value}" value)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
hs_header_text(${CMAKE_SOURCE_DIR}/res/version.h HS_VERSION_TEXT HS_VERSION)
hs_header_text(${CMAKE_SOURCE_DIR}/res/version.h HS_VERSION_MAJOR HS_VERSION_MAJOR)
hs_header_text(${CMAKE_SOURCE_DIR}/res/version.h HS_VERSION_MINOR HS_VERSION_MINOR)
hs_header_text(${CMAKE_SOURCE_DIR}/res/version.h HS_COMPANY_NAME HS_COMPANY)
hs_header_text(${CMAKE_SOURCE_DIR}/res/version.h HS_COPYRIGHT HS_COPYRIGHT)
hs_header_text(${CMAKE_SOURCE_DIR}/res/help_links.h HS_SUPPORT_URL HS_SUPPORT_URL)
hs_header_text(${CMAKE_SOURCE_DIR}/res/help_links.h HS_HOMEPAGE_URL HS_HOMEPAGE_URL)

set(HS_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(HS_PACKAGE_NAME Halvorsight-${HS_VERSION})
# The files to ship, staged in the folder the zip holds.
set(HS_STAGE_DIR ${HS_PACKAGE_DIR}/${HS_PACKAGE_NAME})
set(HS_STAGED_FILES ${HS_STAGE_DIR}/Halvorsight.exe ${HS_STAGE_DIR}/Halvorsight.sound
                    ${HS_STAGE_DIR}/manual.html)
set(HS_ZIP_FILE ${HS_PACKAGE_DIR}/${HS_PACKAGE_NAME}-portable.zip)
set(HS_INSTALLER_FILE ${HS_PACKAGE_DIR}/${HS_PACKAGE_NAME}-setup.exe)

# The shipped program carries no debugging information.
if(CMAKE_STRIP)
  set(hs_copy_program ${CMAKE_STRIP} --strip-debug -o ${HS_STAGE_DIR}/Halvorsight.exe $<TARGET_FILE:Halvorsight>)
else()
  set(hs_copy_program ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Halvorsight> ${HS_STAGE_DIR}/Halvorsight.exe)
endif()
add_custom_command(
  OUTPUT ${HS_STAGED_FILES}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HS_STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HS_STAGE_DIR}
  COMMAND ${hs_copy_program}
  COMMAND ${CMAKE_COMMAND} -E copy ${HS_SOUND_FILE} ${HS_MANUAL_FILE} ${HS_STAGE_DIR}
  DEPENDS Halvorsight ${HS_SOUND_FILE} ${HS_MANUAL_FILE}
  COMMENT "Staging the files to ship"
  VERBATIM)

add_custom_command(
  OUTPUT ${HS_ZIP_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${HS_ZIP_FILE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${HS_PACKAGE_DIR}
          ${CMAKE_COMMAND} -E tar cf ${HS_ZIP_FILE} --format=zip ${HS_PACKAGE_NAME}
  DEPENDS ${HS_STAGED_FILES}
  COMMENT "Making ${HS_PACKAGE_NAME}-portable.zip"
  VERBATIM)
set(HS_PACKAGE_FILES ${HS_ZIP_FILE})

find_program(HS_MAKENSIS makensis)
if(HS_MAKENSIS)
  set(HS_NSIS_SCRIPT ${CMAKE_SOURCE_DIR}/packaging/halvorsight.nsi)
  add_custom_command(
    OUTPUT ${HS_INSTALLER_FILE}
    COMMAND ${HS_MAKENSIS} -V2
            -DHS_FILES=${HS_STAGE_DIR}
            -DHS_ICON=${HS_GENERATED_DIR}/halvorsight.ico
            -DHS_OUTFILE=${HS_INSTALLER_FILE}
            -DHS_VERSION=${HS_VERSION}
            -DHS_VERSION_MAJOR=${HS_VERSION_MAJOR}
            -DHS_VERSION_MINOR=${HS_VERSION_MINOR}
            -DHS_COMPANY=${HS_COMPANY}
            -DHS_COPYRIGHT=${HS_COPYRIGHT}
            -DHS_SUPPORT_URL=${HS_SUPPORT_URL}
            -DHS_HOMEPAGE_URL=${HS_HOMEPAGE_URL}
            ${HS_NSIS_SCRIPT}
    DEPENDS ${HS_STAGED_FILES} ${HS_NSIS_SCRIPT} ${HS_GENERATED_DIR}/halvorsight.ico
    COMMENT "Making ${HS_PACKAGE_NAME}-setup.exe"
    VERBATIM)
  list(APPEND HS_PACKAGE_FILES ${HS_INSTALLER_FILE})
  add_custom_target(package ALL DEPENDS ${HS_PACKAGE_FILES})
else()
  # Without makensis the default build goes on; asking for the packages
  # says what is missing.
  set(HS_INSTALLER_FILE "")
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: install Debian's nsis (scripts/deps.sh does)"
    COMMAND ${CMAKE_COMMAND} -E false
    DEPENDS ${HS_PACKAGE_FILES})
endif()
