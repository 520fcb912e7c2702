# Installs the build in BUILD_DIR under a prefix of its own and checks what a
# desktop and udev read there: both programs in bin/, each with a desktop
# entry that starts it by name and an icon of the name the entry gives under
# the icon theme's folders, the converter's help pages (MOXELIN_HELP) at
# HELP_FROM_BIN from bin/ where the converter looks for them, the offline map
# page with its scripts and Leaflet (OFFLINE_MAP, "source=name beside the
# page" pairs) at OFFLINE_MAP_FROM_BIN from bin/ where the monitor looks for
# it, and the udev rule RULE, unchanged, where udev reads rules under the prefix.
set(_prefix ${BUILD_DIR}/install_check)
file(REMOVE_RECURSE ${_prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${_prefix} RESULT_VARIABLE _rc
                OUTPUT_QUIET)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${_rc})")
endif()

set(_faults "")
function(expect_same_file _want _installed)
  if(NOT EXISTS ${_installed})
    set(_faults "${_faults}\n${_installed} was not installed" PARENT_SCOPE)
    return()
  endif()
  file(READ ${_want} _a HEX)
  file(READ ${_installed} _b HEX)
  if(NOT _a STREQUAL _b)
    set(_faults "${_faults}\n${_installed} differs from ${_want}" PARENT_SCOPE)
  endif()
endfunction()

get_filename_component(_name ${RULE} NAME)
expect_same_file(${RULE} ${_prefix}/lib/udev/rules.d/${_name})
foreach(_page ${MOXELIN_HELP})
  get_filename_component(_name ${_page} NAME)
  expect_same_file(${_page} ${_prefix}/bin/${HELP_FROM_BIN}/${_name})
endforeach()

foreach(_pair ${OFFLINE_MAP})
  string(REPLACE "=" ";" _pair ${_pair})
  list(GET _pair 0 _from)
  list(GET _pair 1 _to)
  expect_same_file(${_from} ${_prefix}/bin/${OFFLINE_MAP_FROM_BIN}/${_to})
endforeach()
if(NOT OFFLINE_MAP)
  string(APPEND _faults "\nno offline map files were named to the check")
endif()

file(GLOB _entries ${_prefix}/share/applications/*.desktop)
foreach(_program QZorvikMonitor QMoxelin)
  if(NOT EXISTS ${_prefix}/bin/${_program} OR IS_DIRECTORY ${_prefix}/bin/${_program})
    string(APPEND _faults "\nbin/${_program} was not installed")
  endif()
  set(_entry "")
  foreach(_file ${_entries})
    file(STRINGS ${_file} _exec REGEX "^Exec=${_program}( |$)")
    if(_exec)
      set(_entry ${_file})
    endif()
  endforeach()
  if(NOT _entry)
    string(APPEND _faults "\nno desktop entry in share/applications starts ${_program}")
    continue()
  endif()
  file(STRINGS ${_entry} _icon REGEX "^Icon=")
  string(REGEX REPLACE "^Icon=" "" _icon "${_icon}")
  file(GLOB _icons ${_prefix}/share/icons/hicolor/*/apps/${_icon}.png)
  if(NOT _icon OR NOT _icons)
    string(APPEND _faults "\n${_entry}: no icon \"${_icon}\" under share/icons/hicolor/<size>/apps")
  endif()
endforeach()

if(_faults)
  message(FATAL_ERROR "under ${_prefix}:${_faults}")
endif()
file(REMOVE_RECURSE ${_prefix})
