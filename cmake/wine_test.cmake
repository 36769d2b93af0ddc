# yg_add_wine_test(<name> LABELS <label>... COMMAND <command>...): a test that runs Windows programs
# under Wine. Without Wine on PATH (see mingw-w64-x86_64.cmake) it is registered all the same, as
# a test that is skipped and says why, so that no test goes missing without a word. Every such
# test has the label `wine` besides its own.
function(yg_add_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LABELS;COMMAND")
  if(YG_WINE)
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
  else()
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND} -E echo "${name} skipped: it runs under Wine, and there is no wine on PATH")
    set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped: it runs under Wine")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "wine;${arg_LABELS}")
endfunction()
