vyr_add_bench(bench_device DEPS vyr_render)
