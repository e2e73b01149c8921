vyr_add_bench(bench_video DEPS vyr_video vyr_render)
