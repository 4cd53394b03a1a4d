# vorn_layer(<target> <path>...): gives the target an include root of its own
# that shows only the listed folders or files of src/. A library sees what its
# own root and those of the libraries it links show, so a layer can include the
# layers below it and nothing above: the core cannot reach the routines, nor a
# mode the start-up routine, nor anything portable the Win32 adapter.
function(vorn_layer target)
  set(root "${CMAKE_BINARY_DIR}/layers/${target}")
  foreach(path IN LISTS ARGN)
    get_filename_component(parent "${root}/${path}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/src/${path}" "${root}/${path}" SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()
