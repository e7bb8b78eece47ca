# The version as the Windows version record writes it: major.minor.revision with the minor in two
# digits and the revision (CMake's fourth number) in four, 1.0.0.7 giving "1.00.0007".
function(fendralwin_padded number width out)
    string(LENGTH "${number}" length)
    math(EXPR missing "${width} - ${length}")
    if(missing GREATER 0)
        string(REPEAT "0" ${missing} zeros)
    endif()
    set(${out} "${zeros}${number}" PARENT_SCOPE)
endfunction()

fendralwin_padded(${PROJECT_VERSION_MINOR} 2 minor)
fendralwin_padded(${PROJECT_VERSION_TWEAK} 4 revision)
set(FENDRALWIN_RECORD_VERSION "${PROJECT_VERSION_MAJOR}.${minor}.${revision}")
