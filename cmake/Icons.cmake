# The icon has one drawing, packaging/org.fendralwin.FendralWin.svg: the images the window, the
# desktop and Windows use are rendered from it at build time, into FENDRALWIN_ICON_DIR.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(FENDRALWIN_ICON_NAME org.fendralwin.FendralWin)
set(FENDRALWIN_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/${FENDRALWIN_ICON_NAME}.svg)
set(FENDRALWIN_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
# The sizes of the rendered images, the hicolor theme's usual ones.
set(FENDRALWIN_ICON_SIZES 16 32 48)

# The hicolor theme's layout: <size>x<size>/<name>.png.
function(fendralwin_icon_png size result)
    set(${result} ${FENDRALWIN_ICON_DIR}/${size}x${size}/${FENDRALWIN_ICON_NAME}.png PARENT_SCOPE)
endfunction()

set(icon_files)
foreach(size ${FENDRALWIN_ICON_SIZES})
    fendralwin_icon_png(${size} png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${FENDRALWIN_ICON_DIR}/${size}x${size}
        COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png}
                ${FENDRALWIN_ICON_SVG}
        DEPENDS ${FENDRALWIN_ICON_SVG}
        COMMENT "Rendering the ${size} pixel icon"
        VERBATIM)
    list(APPEND icon_files ${png})
endforeach()

if(WIN32)
    # One icon with the two images the window class takes, 32 and 16 pixels in 16 colours. Such an
    # image has a mask instead of an alpha channel: the corners become wholly transparent, and
    # black under the mask, so that the screen shows through unchanged.
    find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
    set(FENDRALWIN_ICON_ICO ${FENDRALWIN_ICON_DIR}/${FENDRALWIN_ICON_NAME}.ico)
    fendralwin_icon_png(32 png32)
    fendralwin_icon_png(16 png16)
    add_custom_command(OUTPUT ${FENDRALWIN_ICON_ICO}
        COMMAND ${IMAGEMAGICK_CONVERT} ${png32} ${png16} -channel A -threshold 50% +channel
                -background black -alpha background -type PaletteMatte -colors 16
                ${FENDRALWIN_ICON_ICO}
        DEPENDS ${png32} ${png16}
        COMMENT "Making the 16-colour Windows icon"
        VERBATIM)
    list(APPEND icon_files ${FENDRALWIN_ICON_ICO})
endif()
add_custom_target(fendralwin_icons ALL DEPENDS ${icon_files})
