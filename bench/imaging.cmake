vyr_add_bench(bench_imaging DEPS vyr_imaging)
