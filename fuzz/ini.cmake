# The INI sources are compiled into the target itself so that libFuzzer sees their coverage.
file(GLOB fuzz_ini_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/project/ini/*.cpp)
vyr_add_fuzzer(fuzz_ini DEPS vyr_foundation)
target_sources(fuzz_ini PRIVATE ${fuzz_ini_sources})
