# The Windows program: the thin Win32 layer over the core, and its resources.
file(GLOB HS_UI_SOURCES CONFIGURE_DEPENDS
  app/win32/*.cpp listview/win32/*.cpp dialogs/win32/*.cpp engine/win32/*.cpp)
if(HS_UI_SOURCES)
  add_executable(Halvorsight WIN32 ${HS_UI_SOURCES})
  target_link_libraries(Halvorsight PRIVATE hscore)
endif()
