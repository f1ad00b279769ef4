# calcora_embed(TARGET OUTPUT PREFIX "name=path" ...): generates OUTPUT, a C++ file
# that defines the files as a table of EmbeddedFile records named PREFIX_files().
function(calcora_embed target output prefix)
  set(paths)
  foreach(pair ${ARGN})
    string(REGEX REPLACE "^[^=]*=" "" path "${pair}")
    list(APPEND paths "${path}")
  endforeach()
  get_filename_component(output_dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${output_dir})
  if(CMAKE_CROSSCOMPILING)
    set(tool ${CALCORA_HOST_EMBED})
  else()
    set(tool calcora_embed)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${tool} ${output} ${prefix} ${ARGN}
    DEPENDS ${tool} ${paths}
    COMMENT "Embedding ${prefix} files")
  add_custom_target(${target} DEPENDS ${output})
endfunction()
