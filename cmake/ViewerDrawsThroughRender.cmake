# The viewer turns input into calls on the document and the renderer: every GL call the editor
# makes lives in render/. A viewer source that includes a GL header or calls a gl*, glu* or
# glew* function stops the configure step. The base widget's header <QGLViewer/...> is the one
# GL-bearing include the viewer needs.

file(GLOB viewer_sources ${CMAKE_CURRENT_SOURCE_DIR}/viewer/*.h ${CMAKE_CURRENT_SOURCE_DIR}/viewer/*.cpp)
foreach(source ${viewer_sources})
  file(STRINGS ${source} gl_includes
       REGEX "#[ \t]*include[ \t]*[<\"](GL/|GLES|QOpenGL|QtOpenGL|qopengl|QGL[^V])")
  file(STRINGS ${source} gl_calls REGEX "(^|[^A-Za-z0-9_])(gl|glu|glew)[A-Z][A-Za-z0-9]*[ \t]*\\(")
  if(gl_includes OR gl_calls)
    message(FATAL_ERROR "${source} uses OpenGL directly (${gl_includes}${gl_calls}); "
                        "the viewer draws and picks through render/.")
  endif()
endforeach()
