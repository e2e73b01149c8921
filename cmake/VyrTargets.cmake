# Common flags and helpers: one library per source folder, one test program per test folder.

add_library(vyr_options INTERFACE)
target_compile_options(vyr_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports impossible overlaps and bounds inside inlined standard-library copies
  # (std::string concatenation, vector insert) once optimising; the sanitizer build checks
  # real bounds instead.
  target_compile_options(vyr_options INTERFACE -Wno-restrict -Wno-array-bounds
                                               -Wno-stringop-overflow -Wno-stringop-overread)
endif()
if(VYR_WERROR)
  target_compile_options(vyr_options INTERFACE -Werror)
endif()
if(VYR_SANITIZE)
  target_compile_options(vyr_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(vyr_options INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(vyr_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(vyr_options INTERFACE Threads::Threads)

# vyr_add_library(NAME [DEPS ...] [PKG ...]): library vyr_NAME from every .cpp of the current
# folder (subfolders included); PKG names pkg-config modules linked privately.
function(vyr_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PKG;LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(vyr_${name} STATIC ${sources})
    target_link_libraries(vyr_${name} PUBLIC vyr_options ${ARG_DEPS} ${ARG_LIBS})
    if(ARG_PKG)
      find_package(PkgConfig REQUIRED)
      pkg_check_modules(VYR_PKG_${name} REQUIRED IMPORTED_TARGET ${ARG_PKG})
      target_link_libraries(vyr_${name} PUBLIC PkgConfig::VYR_PKG_${name})
    endif()
  else()
    add_library(vyr_${name} INTERFACE)
    target_link_libraries(vyr_${name} INTERFACE vyr_options ${ARG_DEPS})
  endif()
endfunction()

# vyr_add_test_suite(NAME DEPS ...): program test_NAME from every *_test.cpp of the folder.
function(vyr_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  find_package(GTest REQUIRED)
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} vyr_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(test_${name} PRIVATE VYR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                   VYR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
