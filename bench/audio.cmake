vyr_add_bench(bench_audio DEPS vyr_audio)
