# The model (curves/, document/) must stay free of OpenGL: its geometry is tested without a
# context and the renderer is the only place that talks to the GPU. Any GL include there stops
# the configure step.
foreach(model_dir curves document)
  file(GLOB_RECURSE model_sources
       ${CMAKE_CURRENT_SOURCE_DIR}/${model_dir}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/${model_dir}/*.cpp)
  foreach(source ${model_sources})
    file(STRINGS ${source} gl_includes
         REGEX "#[ \t]*include[ \t]*[<\"](GL/|QOpenGL|QGL|QtOpenGL|GLES)")
    if(gl_includes)
      message(FATAL_ERROR "${source} includes OpenGL (${gl_includes}); the model must not.")
    endif()
  endforeach()
endforeach()
