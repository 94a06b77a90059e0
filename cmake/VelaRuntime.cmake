# The C++ runtime DLLs ship beside the suite's programs, and sit beside the test programs so
# that Wine finds them without a search path.
set(_vela_gcc_dir /usr/lib/gcc/${MINGW_TRIPLET}/12-posix)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(_vela_libgcc libgcc_s_dw2-1.dll)
else()
  set(_vela_libgcc libgcc_s_seh-1.dll)
endif()
set(VELA_RUNTIME_DLLS
  ${_vela_gcc_dir}/libstdc++-6.dll
  ${_vela_gcc_dir}/${_vela_libgcc}
  /usr/${MINGW_TRIPLET}/lib/libwinpthread-1.dll)
file(COPY ${VELA_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
install(FILES ${VELA_RUNTIME_DLLS} DESTINATION .)
