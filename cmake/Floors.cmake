# The source folders are floors: each one a library that links only the floors beneath it.
# A floor's headers are seen through an include root of its own that holds nothing but the
# floor's folder, so a floor sees the headers of what it links and no others: an include that
# runs upward is not found and fails the build.
function(parvelo_floor_headers target visibility folder)
  set(root ${CMAKE_BINARY_DIR}/floors/${folder})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${visibility} ${root})
endfunction()
