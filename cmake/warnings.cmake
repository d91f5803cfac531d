function(marovine_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # g++ 12 at -O2 and above reports std::string concatenations ("x" + s) as
    # overlapping copies (GCC bug 105329) and inlined vector copies as
    # overflows; neither warning says anything about our code there.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow)
  endif()
  if(MAROVINE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
