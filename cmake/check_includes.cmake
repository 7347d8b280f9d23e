# Keeps the order of the source folders: a file includes only its own folder
# and the folders below it, and no platform-free file can reach <windows.h>.
#
#   cmake -DSRC=<the src folder> -P check_includes.cmake
#
# Each offending include is printed as FILE:LINE with the reason; the script
# fails when there is one.

# Bottom to top. tools, infowin and imaging stand side by side.
set(level_core 0)
set(level_platform 1)
set(level_model 2)
set(level_tools 3)
set(level_infowin 3)
set(level_imaging 3)
set(level_app 4)
set(level_main_win32.cpp 5)
# The one allowed step sideways: a tool shows its figures in the info window.
set(sideways_tools_infowin TRUE)

# Headers that bring the Windows API with them.
set(windows_headers windows.h windef.h winuser.h wingdi.h commctrl.h commdlg.h objbase.h shellapi.h shlobj.h
    shobjidl.h unknwn.h)

cmake_minimum_required(VERSION 3.25)

if(NOT SRC)
  message(FATAL_ERROR "Pass -DSRC=<the src folder>")
endif()

function(folder_of path out)
  string(REGEX MATCH "^[^/]+" first "${path}")
  set(${out} "${first}" PARENT_SCOPE)
endfunction()

function(is_win32 path out)
  if(path MATCHES "(^|/)win32/" OR path MATCHES "_win32\\.(cpp|h)$")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT files)
set(failures 0)

foreach(file IN LISTS files)
  folder_of("${file}" from)
  file(READ "${SRC}/${file}" content)
  # One list element per line: keep the semicolons of the code out of the way.
  string(REPLACE ";" "," content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(number 0)
  set(local_includes)
  set(direct_windows FALSE)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      string(TOLOWER "${CMAKE_MATCH_1}" system)
      if(system IN_LIST windows_headers)
        set(direct_windows "${file}:${number}")
      endif()
      continue()
    endif()
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    if(NOT EXISTS "${SRC}/${target}")
      continue()  # generated (tarnwick_version.h) or the standard library's
    endif()
    list(APPEND local_includes "${target}")
    string(MAKE_C_IDENTIFIER "${file}>${target}" edge)
    set(line_${edge} "${number}")
    folder_of("${target}" to)
    if(NOT DEFINED level_${from} OR NOT DEFINED level_${to} OR from STREQUAL to)
      continue()
    endif()
    if(level_${to} GREATER level_${from})
      message("${file}:${number}: includes \"${target}\": ${to} sits above ${from}")
      math(EXPR failures "${failures} + 1")
    elseif(level_${to} EQUAL level_${from} AND NOT sideways_${from}_${to})
      message("${file}:${number}: includes \"${target}\": ${from} and ${to} stand side by side")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
  string(MAKE_C_IDENTIFIER "${file}" key)
  set(includes_${key} "${local_includes}")
  set(windows_${key} "${direct_windows}")
endforeach()

# Every platform-free file, followed through its includes to any file that
# includes a Windows header.
foreach(file IN LISTS files)
  is_win32("${file}" shell)
  if(shell OR file STREQUAL "main_win32.cpp")
    continue()
  endif()
  set(seen "${file}")
  set(queue "${file}")
  while(queue)
    list(POP_FRONT queue current)
    string(MAKE_C_IDENTIFIER "${current}" key)
    if(windows_${key})
      # Named at the line of the platform-free file where the path starts.
      if(current STREQUAL file)
        message("${windows_${key}}: a Windows header in platform-free code")
      else()
        string(MAKE_C_IDENTIFIER "${file}>${first_${key}}" edge)
        message("${file}:${line_${edge}}: includes \"${first_${key}}\", which reaches a Windows header at "
                "${windows_${key}}")
      endif()
      math(EXPR failures "${failures} + 1")
      break()
    endif()
    foreach(next IN LISTS includes_${key})
      if(NOT next IN_LIST seen)
        string(MAKE_C_IDENTIFIER "${next}" next_key)
        if(current STREQUAL file)
          set(first_${next_key} "${next}")
        else()
          set(first_${next_key} "${first_${key}}")
        endif()
        list(APPEND seen "${next}")
        list(APPEND queue "${next}")
      endif()
    endforeach()
  endwhile()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) break the order of the source folders")
endif()
list(LENGTH files count)
message("Include order kept in ${count} files")
