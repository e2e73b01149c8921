vyr_add_fuzzer(fuzz_iptc DEPS vyr_imaging)
