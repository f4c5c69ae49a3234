# Every Windows program of the project, the launcher and the programs its tests build, is linked
# the same way: statically, so that it runs from any folder with no runtime DLLs beside it.
function(vorthal_windows_program target)
  if(MSVC)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    # The resource script carries the manifest; a second one from the linker would clash with it.
    target_link_options(${target} PRIVATE /MANIFEST:NO /DYNAMICBASE /NXCOMPAT)
  else()
    # Section garbage collection drops what the static runtime brings but nothing calls: about
    # 9 KB of the launcher. Compiling the project's own code into sections per function gains
    # nothing more, so it is not done.
    target_link_options(${target} PRIVATE -static -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp
      -Wl,--gc-sections $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()
endfunction()
