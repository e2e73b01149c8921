vyr_add_fuzzer(fuzz_exif DEPS vyr_imaging)
