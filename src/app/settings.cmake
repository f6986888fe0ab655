# The settings file: portable rules with their in-memory store, and the
# Windows side that reads and writes through the profile functions and shows
# the loaded settings in the main window. Included from src/app/CMakeLists.txt.
zav2_add_library(zav2_settings
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_fonts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_fonts_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_apply_win.cpp
  DEPS zav2_platform)
if(WIN32)
  target_link_libraries(zav2_settings PUBLIC comctl32 gdi32 user32)
endif()
