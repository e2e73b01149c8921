vyr_add_bench(bench_export DEPS vyr_export vyr_audio vyr_viewer vyr_player vyr_video vyr_render vyr_package
                                vyr_project vyr_imaging vyr_foundation)
# The export command and the headless frame renderer live in the player's folder.
target_sources(bench_export PRIVATE ${PROJECT_SOURCE_DIR}/apps/vyrviewer/frame_renderer.cpp
                                    ${PROJECT_SOURCE_DIR}/apps/vyrviewer/export_command.cpp)
target_include_directories(bench_export PRIVATE ${PROJECT_SOURCE_DIR}/apps/vyrviewer)
# The colour conversion benchmark calls libswscale itself.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VYR_BENCH_SWSCALE REQUIRED IMPORTED_TARGET libswscale)
target_link_libraries(bench_export PRIVATE PkgConfig::VYR_BENCH_SWSCALE)
