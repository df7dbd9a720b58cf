# Start-up to the first painted window: velmo with a panel open against a minimal Qt Widgets
# window (menu bar and a painted child), each a whole process.
add_executable(velmo_startup_minimal ${CMAKE_CURRENT_LIST_DIR}/StartupMinimal.cpp)
target_link_libraries(velmo_startup_minimal PRIVATE Qt6::Widgets)
add_executable(velmo_startup_bench ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp)
target_link_libraries(velmo_startup_bench PRIVATE render)
