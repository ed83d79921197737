# Which .cpp files of a folder a build takes. A platform filling named
# <Name>Windows.cpp takes the place of <Name>.cpp in a Windows build and is
# left out of every other build; in a Windows build the test sources named in
# BQ_WINDOWS_LEFT_OUT (cmake/BqWindows.cmake) are left out as well.
function(bq_platform_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(kept)
  foreach(source IN LISTS all)
    if(source MATCHES "Windows\\.cpp$")
      if(WIN32)
        list(APPEND kept ${source})
      endif()
      continue()
    endif()
    string(REGEX REPLACE "\\.cpp$" "Windows.cpp" filling ${source})
    if(WIN32 AND (EXISTS ${filling} OR source IN_LIST BQ_WINDOWS_LEFT_OUT))
      continue()
    endif()
    list(APPEND kept ${source})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()
