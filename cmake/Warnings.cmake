# Our own targets build with every warning as an error; third-party code is left alone.
function(fendralwin_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
