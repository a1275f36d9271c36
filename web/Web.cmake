# The web build's program (make web): build-web/skarnhold.js and .wasm, and skarnhold.data, the packed
# files the page loads into its in-memory file system: the data folder as /data (the program's data
# folder there) and the fonts the desktop finds through fontconfig as /fonts (PlatFont maps the game's face
# names to them). scripts/web-dist.sh puts them into dist/web beside web/index.html.
set(SKARN_WEB_FONTS
    /usr/share/fonts/opentype/cherrybomb/CherryBomb-Regular.otf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    /usr/share/fonts/truetype/freefont/FreeSansBold.ttf)
set(SKARN_WEB_PACK "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data@/data")
foreach(font ${SKARN_WEB_FONTS})
    get_filename_component(name ${font} NAME)
    list(APPEND SKARN_WEB_PACK "SHELL:--preload-file ${font}@/fonts/${name}")
endforeach()

target_link_options(skarnhold PRIVATE ${SKARN_WEB_PACK}
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/pre.js"
    -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web -lidbfs.js
    # SDL's own JavaScript calls helpers of emscripten's library (the sound starts on a gesture); their
    # names begin with '$', so they come from a file.
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/web/library-funcs.json")
# The packed files and the page's script are inputs of the link.
file(GLOB_RECURSE SKARN_WEB_DATA CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
set_property(TARGET skarnhold APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/pre.js ${CMAKE_SOURCE_DIR}/web/library-funcs.json ${SKARN_WEB_DATA}
    ${SKARN_WEB_FONTS})
