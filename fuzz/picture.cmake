vyr_add_fuzzer(fuzz_picture DEPS vyr_imaging)
