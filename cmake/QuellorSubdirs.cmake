# quellor_add_child_dirs(): adds every direct sub-folder that holds a
# CMakeLists.txt, so that modules can be added without editing the parent.
function(quellor_add_child_dirs)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT children)
  foreach(child ${children})
    get_filename_component(dir ${child} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()
