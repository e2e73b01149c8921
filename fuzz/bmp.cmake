vyr_add_fuzzer(fuzz_bmp DEPS vyr_imaging)
