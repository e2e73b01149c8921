vyr_add_fuzzer(fuzz_expression DEPS vyr_scene)
