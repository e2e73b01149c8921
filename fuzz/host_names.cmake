vyr_add_fuzzer(fuzz_host_names DEPS vyr_scene)
