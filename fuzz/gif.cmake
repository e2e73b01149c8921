vyr_add_fuzzer(fuzz_gif DEPS vyr_imaging)
