# zarv_library(<target> DEPS <targets...>)
# A static library made of every .cpp, .h and Designer .ui file in the calling
# folder (files named main_*.cpp are programs, not library code). A screen's
# header includes the ui_*.h that AUTOUIC makes of its .ui file, so whoever
# links the library sees those headers too.
function(zarv_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                   ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
  list(FILTER _src EXCLUDE REGEX "/main_[^/]*\\.cpp$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${target} STATIC ${_src})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    set(_ui ${_src})
    list(FILTER _ui INCLUDE REGEX "\\.ui$")
    if(_ui)
      target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/include)
    endif()
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zarv_test(<target> DIRS <folders under tests/> DEPS <targets...>)
# One GoogleTest program made of every .cpp file in the given folders, registered with CTest.
function(zarv_test target)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(_src)
  foreach(d ${ARG_DIRS})
    file(GLOB _s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.h)
    list(APPEND _src ${_s})
  endforeach()
  if(NOT _src)
    return()
  endif()
  add_executable(${target} ${_src})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} zarv_test_support GTest::gtest GTest::gmock)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZARV_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               TIMEOUT 300)
endfunction()

# zarv_bench(<target> SOURCES <files> DEPS <targets...>): a benchmark program, built but never run by the tests.
function(zarv_bench target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
