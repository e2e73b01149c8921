vyr_add_bench(bench_player DEPS vyr_viewer vyr_player vyr_video vyr_render vyr_package vyr_project
                                vyr_imaging vyr_foundation)
# The headless frames to compare with come from the player's own frame renderer.
target_sources(bench_player PRIVATE ${PROJECT_SOURCE_DIR}/apps/vyrviewer/frame_renderer.cpp)
target_include_directories(bench_player PRIVATE ${PROJECT_SOURCE_DIR}/apps/vyrviewer)
target_compile_definitions(bench_player PRIVATE VYR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# The bench runs the player it measures.
add_dependencies(bench_player vyrviewer vyrpack)
