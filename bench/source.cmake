vyr_add_bench(bench_source DEPS vyr_project)
