find_package(PkgConfig REQUIRED)
pkg_check_modules(VYR_BENCH_TEXT_FT REQUIRED IMPORTED_TARGET freetype2)
vyr_add_bench(bench_text DEPS vyr_imaging PkgConfig::VYR_BENCH_TEXT_FT)
