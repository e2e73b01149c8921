vyr_add_fuzzer(fuzz_media_info DEPS vyr_audio)
