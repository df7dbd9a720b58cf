# The full-screen player's advances at 3840 x 2160 against a full djpeg decode.
add_executable(velmo_show_bench ${CMAKE_CURRENT_LIST_DIR}/ShowBench.cpp
               ${CMAKE_CURRENT_LIST_DIR}/BenchPicture.cpp)
target_link_libraries(velmo_show_bench PRIVATE show benchmark::benchmark)
