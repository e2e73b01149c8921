vyr_add_bench(bench_frames)
# The bench runs the player it measures.
add_dependencies(bench_frames vyrviewer)
