# Shared build rules for every Zav2 target.

add_library(zav2_options INTERFACE)
if(MSVC)
  # Sources are UTF-8 (Japanese texts in wide literals).
  target_compile_options(zav2_options INTERFACE /W4 /WX /utf-8 /permissive- /Zc:__cplusplus)
else()
  target_compile_options(zav2_options INTERFACE -Wall -Wextra -Werror)
endif()
target_include_directories(zav2_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(WIN32)
  target_compile_definitions(zav2_options INTERFACE
    UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  if(MINGW)
    # Static: the program and its tests need no mingw DLLs. Programs with a
    # wWinMain/wmain entry add -municode themselves.
    target_link_options(zav2_options INTERFACE -static)
  endif()
endif()
if(ZAV2_SANITIZE AND NOT WIN32)
  target_compile_options(zav2_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(zav2_options INTERFACE -fsanitize=address,undefined)
endif()

# zav2_filter_sources(<out-var> files...): drops foo_win.cpp outside Windows
# and foo_posix.cpp on Windows.
function(zav2_filter_sources out)
  set(kept)
  foreach(f ${ARGN})
    if(f MATCHES "_win\\.(cpp|c|rc)$" AND NOT WIN32)
      continue()
    endif()
    if(f MATCHES "_posix\\.(cpp|c)$" AND WIN32)
      continue()
    endif()
    list(APPEND kept ${f})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# zav2_add_library(<name> SOURCES files... [DEPS targets...])
function(zav2_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  zav2_filter_sources(sources ${ARG_SOURCES})
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC zav2_options ${ARG_DEPS})
endfunction()

# zav2_add_native_test(<name> SOURCES files... [DEPS targets...])
# GoogleTest executable for the portable code, run by CTest in both builds
# (under Wine through tools/wine-run in the Windows build).
function(zav2_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  zav2_filter_sources(sources ${ARG_SOURCES})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE zav2_options ${ARG_DEPS} GTest::gtest_main GTest::gmock)
  if(WIN32)
    zav2_add_wine_test(${name} SESSION COMMAND $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "ZAV2_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  endif()
endfunction()

# zav2_add_wine_test(<name> COMMAND exe args...): runs a Windows program in a
# private Wine environment (own prefix copy, Xvfb display, PulseAudio null sink).
#
# Each run has its own prefix, display and sound server, and most of them
# spend their time waiting on the program, so they run side by side. TIMING
# marks a test that measures sound, pictures or latency: it runs alone, so
# that no other test's work shows up in its figures. (Tried beside two other
# scenarios, the gapless one heard holes of 50-80 ms inside its tones: Wine's
# thread that feeds the sound server was held off the cores.) SESSION runs it in the
# Wine session the unit tests share (tools/wine-run --session), one at a
# time: starting and stopping Wine took most of a unit test's time.
#
# SECONDS is how long the test takes on a quiet two-core machine. CTest starts
# the costliest first (COST), so that the tests still running when the others
# have ended are short ones, and nothing waits long beside a single test
# before the ones that run alone. A fresh build folder has no timings of its
# own to order by: without these it took the tests in the order they are
# listed. The session's tests start first, one after another beside the long
# scenarios; the tests that run alone come last.
function(zav2_add_wine_test name)
  cmake_parse_arguments(ARG "TIMING;SESSION" "TIMEOUT;SECONDS" "COMMAND" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(session_dir ${CMAKE_BINARY_DIR}/wine-session)
  if(ARG_SESSION)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run --session ${session_dir}
                                  -- ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session
                                            RESOURCE_LOCK wine_session)
    get_property(session_made GLOBAL PROPERTY zav2_wine_session_made)
    if(NOT session_made)
      set_property(GLOBAL PROPERTY zav2_wine_session_made TRUE)
      add_test(NAME zav2_wine_session_start
               COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run --start-session ${session_dir})
      add_test(NAME zav2_wine_session_stop
               COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run --stop-session ${session_dir})
      set_tests_properties(zav2_wine_session_start PROPERTIES FIXTURES_SETUP wine_session
                                                              TIMEOUT 120 LABELS wine COST 2000)
      set_tests_properties(zav2_wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session
                                                             TIMEOUT 120 LABELS wine)
    endif()
  else()
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run -- ${ARG_COMMAND})
  endif()
  set(cost 1)
  if(ARG_SECONDS)
    set(cost ${ARG_SECONDS})
  endif()
  if(ARG_SESSION)
    set(cost 1000)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS wine COST ${cost})
  if(ARG_TIMING)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE LABELS "wine;timing" COST 0)
  endif()
endfunction()
