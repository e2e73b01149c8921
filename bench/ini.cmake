vyr_add_bench(bench_ini DEPS vyr_project)
