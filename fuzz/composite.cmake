vyr_add_fuzzer(fuzz_composite DEPS vyr_audio)
