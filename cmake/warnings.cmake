function(marovine_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wno-missing-field-initializers)
  if(MAROVINE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
