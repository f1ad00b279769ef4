# Data compiled into calcora_core: each entry embeds files with calcora_embed and adds the
# generated source to the core library.

# The two PDF fonts. DejaVu Sans comes from the page's npm packages (npm ci in ui/),
# FreeSerif from the system's fonts-freefont-ttf package.
set(CALCORA_DEJAVU_SANS_TTF ${CMAKE_SOURCE_DIR}/ui/node_modules/dejavu-fonts-ttf/ttf/DejaVuSans.ttf
  CACHE FILEPATH "DejaVuSans.ttf embedded in the PDF export")
set(CALCORA_FREESERIF_TTF /usr/share/fonts/truetype/freefont/FreeSerif.ttf
  CACHE FILEPATH "FreeSerif.ttf embedded in the PDF export")
foreach(font ${CALCORA_DEJAVU_SANS_TTF} ${CALCORA_FREESERIF_TTF})
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "Missing ${font}: run scripts/install-deps.sh (npm ci in ui/, fonts-freefont-ttf)")
  endif()
endforeach()
calcora_embed(calcora_font_files ${CMAKE_BINARY_DIR}/generated/font_files.cpp font
  "DejaVuSans.ttf=${CALCORA_DEJAVU_SANS_TTF}"
  "FreeSerif.ttf=${CALCORA_FREESERIF_TTF}")
target_sources(calcora_core PRIVATE ${CMAKE_BINARY_DIR}/generated/font_files.cpp)
add_dependencies(calcora_core calcora_font_files)
