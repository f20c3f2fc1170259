# Writes OUTPUT, an NSIS header whose macro ZonbodeFiles calls the macro it is given with
# (source, name) for every file under STAGE: the setup installs them side by side (the demo
# server finds its page beside it) and the uninstaller removes exactly these.
#   cmake -DSTAGE=dir -DOUTPUT=files.nsh -P SetupFileList.cmake
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files LIST_DIRECTORIES false "${STAGE}/*")
list(SORT files)
set(text "!macro ZonbodeFiles action\n")
set(names)
foreach(file IN LISTS files)
    get_filename_component(name "${file}" NAME)
    if(name IN_LIST names)
        message(FATAL_ERROR "Two installed files are named ${name}; the setup puts them side by side")
    endif()
    list(APPEND names ${name})
    string(APPEND text "    !insertmacro \${action} \"${file}\" \"${name}\"\n")
endforeach()
if(NOT names)
    message(FATAL_ERROR "Nothing was installed under ${STAGE}")
endif()
string(APPEND text "!macroend\n")
file(WRITE "${OUTPUT}" "${text}")
