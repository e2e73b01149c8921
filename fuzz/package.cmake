vyr_add_fuzzer(fuzz_package DEPS vyr_package)
