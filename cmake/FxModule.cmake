# Helpers shared by every deliverable's CMakeLists.

# fx_install(targets...): lays the module out in the product folder.
function(fx_install)
  install(TARGETS ${ARGN} RUNTIME DESTINATION . LIBRARY DESTINATION .)
endfunction()

# fx_ordinal_import_library(<target> <dll-name> <def-template>)
# Builds an import library that binds a DLL's exports by ordinal only.
# The template lists i686-decorated names ("name@N @ord NONAME"); the x86_64
# copy drops the decoration.
function(fx_ordinal_import_library target dll def_template)
  file(READ "${def_template}" _def)
  if(FX_X64)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" _def "${_def}")
    set(_kill "")
  else()
    set(_kill "-k")
  endif()
  set(_out_def "${CMAKE_CURRENT_BINARY_DIR}/${target}.def")
  set(_out_lib "${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a")
  file(WRITE "${_out_def}" "${_def}")
  add_custom_command(OUTPUT "${_out_lib}"
    COMMAND ${CMAKE_DLLTOOL} ${_kill} -d "${_out_def}" -D ${dll} -l "${_out_lib}"
    DEPENDS "${def_template}"
    VERBATIM)
  add_custom_target(${target}_gen DEPENDS "${_out_lib}")
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${_out_lib}")
  add_dependencies(${target} ${target}_gen)
endfunction()
