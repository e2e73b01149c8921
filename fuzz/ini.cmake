vyr_add_fuzzer(fuzz_ini DEPS vyr_project)
