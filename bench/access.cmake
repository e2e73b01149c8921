vyr_add_bench(bench_access DEPS vyr_package)
