# Our own targets build with every warning as an error; third-party code is left alone. Only C++
# sources get them: a Windows resource script goes to the resource compiler.
function(fendralwin_warnings target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Werror>)
endfunction()
