# Two libraries have one home each: the system GL headers (GL, GLU, GLEW, EGL) are included only
# in render/gl/, which wraps them for the drawing and solver code, and OpenCV only in trace/,
# so that neither the model nor the renderer builds or links it. A source elsewhere that includes
# one stops the configure step.
function(tintweave_headers_stay_in folder pattern what)
  file(GLOB_RECURSE sources
       ${PROJECT_SOURCE_DIR}/curves/*.[ch]* ${PROJECT_SOURCE_DIR}/document/*.[ch]*
       ${PROJECT_SOURCE_DIR}/render/*.[ch]* ${PROJECT_SOURCE_DIR}/trace/*.[ch]*
       ${PROJECT_SOURCE_DIR}/tools/*.[ch]* ${PROJECT_SOURCE_DIR}/viewer/*.[ch]*
       ${PROJECT_SOURCE_DIR}/ui/*.[ch]* ${PROJECT_SOURCE_DIR}/app/*.[ch]*)
  foreach(source ${sources})
    if(source MATCHES "^${PROJECT_SOURCE_DIR}/${folder}/")
      continue()
    endif()
    file(STRINGS ${source} includes REGEX "#[ \t]*include[ \t]*[<\"](${pattern})")
    if(includes)
      message(FATAL_ERROR "${source} includes ${what} (${includes}); only ${folder}/ may.")
    endif()
  endforeach()
endfunction()

tintweave_headers_stay_in(render/gl "GL/|EGL/|GLES" "the GL headers")
tintweave_headers_stay_in(trace "opencv2/" "OpenCV")
