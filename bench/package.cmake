vyr_add_bench(bench_package DEPS vyr_package)
