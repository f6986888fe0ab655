# Opening a folder of 10,000 tagged files until the list box is filled, in
# both builds (under Wine: tools/wine-run -- <dir>/bench/zav2_intake_bench.exe).
# Not part of CTest:
#   cmake --build <dir> --target zav2_intake_bench && <dir>/bench/zav2_intake_bench
add_executable(zav2_intake_bench
  ${CMAKE_CURRENT_LIST_DIR}/intake_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/tag_corpus.cpp)
target_link_libraries(zav2_intake_bench PRIVATE zav2_test_doubles zav2_options)
target_include_directories(zav2_intake_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/tags
  ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  target_link_libraries(zav2_intake_bench PRIVATE user32 psapi)
  target_link_options(zav2_intake_bench PRIVATE -static)
endif()

# Threads and handles per source, the player's against a bare media engine's
# (run by hand under tools/wine-run, see its header).
if(WIN32 AND TARGET zav2_engine)
  add_executable(zav2_engine_loop ${CMAKE_CURRENT_LIST_DIR}/engine_loop_win.cpp
    ${PROJECT_SOURCE_DIR}/tests/engine/wine_support_win.cpp)
  target_include_directories(zav2_engine_loop PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
  target_link_libraries(zav2_engine_loop PRIVATE zav2_engine)
endif()
# A big library opened by the real Zav2.exe, timed from outside beside the
# platform floors (bench/big_lists.sh runs it under tools/wine-run).
if(WIN32)
  add_executable(zav2-big-lists-bench ${CMAKE_CURRENT_LIST_DIR}/big_lists_bench_win.cpp)
  target_link_libraries(zav2-big-lists-bench PRIVATE zav2_options user32)
  target_link_options(zav2-big-lists-bench PRIVATE -municode -static)
endif()
# The soak's probe: watches a running Zav2.exe (bench/soak.sh).
if(WIN32)
  add_executable(zav2-soak-probe ${CMAKE_CURRENT_LIST_DIR}/soak_probe_win.cpp)
  target_link_libraries(zav2-soak-probe PRIVATE zav2_options user32)
  target_link_options(zav2-soak-probe PRIVATE -municode)
endif()
