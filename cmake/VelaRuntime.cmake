# The C++ runtime DLLs ship beside the suite's programs, and sit beside the test programs so
# that Wine (or Windows) finds them without a search path. The compiler knows where its own are.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(_vela_libgcc libgcc_s_dw2-1.dll)
else()
  set(_vela_libgcc libgcc_s_seh-1.dll)
endif()
set(VELA_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll ${_vela_libgcc} libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE _vela_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${_vela_dll}")
    message(FATAL_ERROR "The compiler's runtime library ${dll} was not found")
  endif()
  file(REAL_PATH "${_vela_dll}" _vela_dll)
  list(APPEND VELA_RUNTIME_DLLS ${_vela_dll})
endforeach()
file(COPY ${VELA_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
install(FILES ${VELA_RUNTIME_DLLS} DESTINATION .)
