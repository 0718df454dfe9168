# Compile settings shared by every target of the project.
function(card_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(CARD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(CARD_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(CARD_BUILD_FUZZ)
    # Coverage for the fuzzer in every library; the harnesses add the fuzzer's main.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(NOT target STREQUAL "card_pch")
    target_precompile_headers(${target} REUSE_FROM card_pch)
  endif()
endfunction()

# A static library built from every source of one src/ folder.
function(card_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  card_setup_target(${name})
endfunction()

# One test executable per tests/ folder, discovered by CTest.
function(card_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE card_test_fixtures ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  card_setup_target(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CARD_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
