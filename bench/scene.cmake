find_package(PkgConfig REQUIRED)
pkg_check_modules(VYR_BENCH_MUPARSER REQUIRED IMPORTED_TARGET muparser)
vyr_add_bench(bench_scene DEPS vyr_scene PkgConfig::VYR_BENCH_MUPARSER)
