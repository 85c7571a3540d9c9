# Shared build helpers.

# tarmisk_glob_sources(<var> <dir>): the .cpp and .h files directly in <dir>.
# Sources are globbed so that a new file needs no list edit.
function(tarmisk_glob_sources var dir)
  file(GLOB _src CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.qrc")
  set(${var} ${_src} PARENT_SCOPE)
endfunction()

# tarmisk_add_test_dir(LIBS <libs...>): every tst_*.cpp in the calling
# directory becomes one Qt Test executable registered with CTest. A file
# tst_foo.extra.cpp, if present, is compiled into tst_foo as well.
function(tarmisk_add_test_dir)
  cmake_parse_arguments(T "" "TIMEOUT" "LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  file(GLOB _tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp")
  foreach(_file ${_tests})
    get_filename_component(_name ${_file} NAME_WE)
    if(_file MATCHES "\\.extra\\.cpp$")
      continue()
    endif()
    set(_extra "${CMAKE_CURRENT_SOURCE_DIR}/${_name}.extra.cpp")
    set(_srcs ${_file})
    if(EXISTS ${_extra})
      list(APPEND _srcs ${_extra})
    endif()
    add_executable(${_name} ${_srcs})
    target_link_libraries(${_name} PRIVATE ${T_LIBS} tarmisk_testsupport Qt6::Test)
    add_test(NAME ${_name} COMMAND ${_name})
    set_tests_properties(${_name} PROPERTIES
      TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARMISK_BOARD=$<TARGET_FILE:tarmisk-board>;TARMISK_BIN=$<TARGET_FILE:tarmisk>")
  endforeach()
endfunction()
