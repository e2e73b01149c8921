vyr_add_fuzzer(fuzz_qzgfx DEPS vyr_imaging)
