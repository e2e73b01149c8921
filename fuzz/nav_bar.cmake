vyr_add_fuzzer(fuzz_nav_bar DEPS vyr_player)
