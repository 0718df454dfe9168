# Compile settings shared by every target of the project. GUI_ONLY takes the precompiled header
# without QtWidgets, so that a widget include in a model library fails to build.
function(card_setup_target target)
  cmake_parse_arguments(ARG "GUI_ONLY;PCH_ITSELF" "" "" ${ARGN})
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
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The PDF417 tables are built at compile time, past clang's default evaluation limit.
    target_compile_options(${target} PRIVATE -fconstexpr-steps=100000000)
  endif()
  if(ARG_PCH_ITSELF)
    return()
  elseif(ARG_GUI_ONLY)
    target_precompile_headers(${target} REUSE_FROM card_pch_gui)
  else()
    target_link_libraries(${target} PRIVATE Qt6::Widgets)
    target_precompile_headers(${target} REUSE_FROM card_pch_widgets)
  endif()
endfunction()

# A static library built from every source of one src/ folder. A model library links Qt Core and
# Gui only; WIDGETS marks a library of windows and views (the ui/ folders). FOLDERS names subfolders
# whose sources build into the same library.
function(card_library name)
  cmake_parse_arguments(ARG "WIDGETS" "" "DEPENDS;FOLDERS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(_folder IN LISTS ARG_FOLDERS)
    file(GLOB _folder_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${_folder}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/${_folder}/*.h)
    list(APPEND _sources ${_folder_sources})
  endforeach()
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(ARG_WIDGETS)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    card_setup_target(${name})
  else()
    card_setup_target(${name} GUI_ONLY)
  endif()
endfunction()

# One test executable per tests/ folder, discovered by CTest. Tests named "...ForALook" only write
# pictures for a person to look at: they carry the label "screenshot" (ctest -LE screenshot skips them).
function(card_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE card_test_fixtures ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  card_setup_target(${name})
  # One variable only: the discovery splits a list value into separate properties. The tests find
  # the source tree through the fixtures' compiled-in path.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "-*ForALook"
                       PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "*ForALook"
                       PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS screenshot)
endfunction()
