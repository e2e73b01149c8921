vyr_add_bench(bench_overlay DEPS vyr_player vyr_render vyr_imaging)
