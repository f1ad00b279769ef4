# Files compiled into calcora_core. calcora_core_embed(PREFIX "name=path" ...) generates
# PREFIX_files(), the table of those files (see common/embedded_file.h); add one call per
# resource set below.
function(calcora_core_embed prefix)
  set(output ${CMAKE_BINARY_DIR}/generated/${prefix}_files.cpp)
  calcora_embed(calcora_${prefix}_files ${output} ${prefix} ${ARGN})
  target_sources(calcora_core PRIVATE ${output})
endfunction()

calcora_core_embed(standard_catalog "standard_catalog.txt=${CMAKE_SOURCE_DIR}/resources/standard_catalog.txt")
