# Files compiled into calcora_core. calcora_core_embed(PREFIX "name=path" ...) generates
# PREFIX_files(), the table of those files (see common/embedded_file.h); add one call per
# resource set below.
function(calcora_core_embed prefix)
  set(output ${CMAKE_BINARY_DIR}/generated/${prefix}_files.cpp)
  calcora_embed(calcora_${prefix}_files ${output} ${prefix} ${ARGN})
  target_sources(calcora_core PRIVATE ${output})
endfunction()

# The two PDF fonts: DejaVu Sans from the page's npm packages (npm ci in ui/), FreeSerif
# from the system's fonts-freefont-ttf package.
set(CALCORA_DEJAVU_SANS_TTF ${CMAKE_SOURCE_DIR}/ui/node_modules/dejavu-fonts-ttf/ttf/DejaVuSans.ttf
  CACHE FILEPATH "DejaVuSans.ttf embedded in the PDF export")
set(CALCORA_FREESERIF_TTF /usr/share/fonts/truetype/freefont/FreeSerif.ttf
  CACHE FILEPATH "FreeSerif.ttf embedded in the PDF export")
foreach(font ${CALCORA_DEJAVU_SANS_TTF} ${CALCORA_FREESERIF_TTF})
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "Missing ${font}: run scripts/install-deps.sh (npm ci in ui/, fonts-freefont-ttf)")
  endif()
endforeach()
calcora_core_embed(font "DejaVuSans.ttf=${CALCORA_DEJAVU_SANS_TTF}" "FreeSerif.ttf=${CALCORA_FREESERIF_TTF}")
calcora_core_embed(standard_catalog "standard_catalog.txt=${CMAKE_SOURCE_DIR}/resources/standard_catalog.txt")
