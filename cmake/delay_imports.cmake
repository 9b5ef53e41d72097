# Import libraries that map their DLL on its first call instead of at
# start-up. The panel needs the file dialogs, WinInet, COM and the shell
# only for some actions; mapped at start they only add to its working set.
#   kk_delay_imports(<variable> dll...) sets <variable> to the libraries.
find_program(KK_NM NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-nm REQUIRED)
find_program(KK_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)

function(kk_delay_imports variable)
  set(libraries)
  foreach(dll ${ARGN})
    set(implib ${CMAKE_FIND_ROOT_PATH}/lib/lib${dll}.a)
    set(def ${CMAKE_BINARY_DIR}/delay/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
    # 32-bit names carry their argument size (Name@8); the DLL exports them bare.
    set(kill_at)
    set(underscored OFF)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(kill_at -k)
      set(underscored ON)
    endif()
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -DNM=${KK_NM} -DIMPLIB=${implib} -DDLL=${dll}.dll -DDEF=${def} -DUNDERSCORED=${underscored}
              -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay_def.cmake
      COMMAND ${KK_DLLTOOL} -d ${def} -y ${lib} -D ${dll}.dll ${kill_at}
      DEPENDS ${implib} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay_def.cmake
      VERBATIM)
    add_custom_target(delay_${dll} DEPENDS ${lib})
    add_library(kk_delay_${dll} STATIC IMPORTED GLOBAL)
    set_target_properties(kk_delay_${dll} PROPERTIES IMPORTED_LOCATION ${lib})
    add_dependencies(kk_delay_${dll} delay_${dll})
    list(APPEND libraries kk_delay_${dll})
  endforeach()
  set(${variable} ${libraries} PARENT_SCOPE)
endfunction()
