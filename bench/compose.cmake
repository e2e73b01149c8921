vyr_add_bench(bench_compose DEPS vyr_render vyr_imaging)
