# The compiled help file holds every file of the project's [FILES] byte for byte as its source.
#   cmake -DCHM=<OmbrixHelp.chm> -DCHMLS=<chmls> -DSOURCE_DIR=<help sources> -DWORK_DIR=<dir>
#         -P check_help_file.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${SOURCE_DIR}/OmbrixHelp.hhp" lines)
set(files "")
set(in_files FALSE)
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[")
        string(COMPARE EQUAL "${line}" "[FILES]" in_files)
    elseif(in_files AND NOT line STREQUAL "")
        list(APPEND files "${line}")
    endif()
endforeach()
if(NOT files)
    message(FATAL_ERROR "OmbrixHelp.hhp lists no files")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${CHMLS}" extractall "${CHM}" "${WORK_DIR}" RESULT_VARIABLE result
                OUTPUT_QUIET ERROR_QUIET)
foreach(file IN LISTS files)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE_DIR}/${file}"
                            "${WORK_DIR}/${file}" RESULT_VARIABLE different)
    if(NOT different EQUAL 0)
        message(SEND_ERROR "${file} is missing from ${CHM} or differs from its source")
    endif()
endforeach()
