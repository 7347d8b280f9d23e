# One CTest test per GoogleTest suite found in `sources`, running `target`
# with a filter for that suite. A process per suite instead of one per test:
# under the sanitizers a process start costs more than most tests, and each
# suite still shows as a line of its own. Typed and value-parameterised
# suites are matched with their instantiation prefixes. The names of the
# added tests are returned in `out_var`.
function(tarnwick_add_gtest_suites_of target prefix out_var)
  set(suites)
  foreach(src IN LISTS ARGN)
    file(READ ${src} text)
    string(REGEX MATCHALL "(^|[^A-Za-z0-9_])(TYPED_)?TEST(_F|_P)?[ \t\r\n]*\\([ \t\r\n]*[A-Za-z_][A-Za-z0-9_]*"
      hits "${text}")
    foreach(hit IN LISTS hits)
      string(REGEX REPLACE ".*\\([ \t\r\n]*" "" suite "${hit}")
      list(APPEND suites ${suite})
    endforeach()
    # A suite added to an existing file is seen at the next build.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  endforeach()
  list(REMOVE_DUPLICATES suites)
  set(names)
  foreach(suite IN LISTS suites)
    if(suite MATCHES "^DISABLED_")
      continue()
    endif()
    add_test(NAME ${prefix}.${suite}
      COMMAND ${target} "--gtest_filter=${suite}.*:*/${suite}.*:${suite}/*:*/${suite}/*")
    list(APPEND names ${prefix}.${suite})
  endforeach()
  if(names)
    # A filter that selects nothing passes in GoogleTest; here it fails.
    set_tests_properties(${names} PROPERTIES FAIL_REGULAR_EXPRESSION "Running 0 tests from")
  endif()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
