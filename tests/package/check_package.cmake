# Packs the portable ZIP in a scratch folder and checks that it holds what a Windows user needs.
#   cmake -DBINARY_DIR=<windows build> -DSCRATCH=<folder> -P check_package.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BINARY_DIR}/CPackConfig.cmake
                WORKING_DIRECTORY ${SCRATCH} RESULT_VARIABLE packed OUTPUT_VARIABLE log
                ERROR_VARIABLE log)
if(NOT packed EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${log}")
endif()
file(GLOB zips ${SCRATCH}/*.zip)
list(LENGTH zips count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one ZIP, found: ${zips}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zips} OUTPUT_VARIABLE listing
                RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
    message(FATAL_ERROR "cannot list ${zips}")
endif()
foreach(name Ombrix.exe OmbrixHelp.chm uptime.exe README.txt)
    if(NOT listing MATCHES "/${name}\n")
        message(FATAL_ERROR "${name} is missing from the ZIP:\n${listing}")
    endif()
endforeach()
# The programs in the ZIP are the ones just built, whole.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${SCRATCH})
string(REGEX REPLACE "\\.zip$" "" top ${zips})
file(SHA256 ${top}/Ombrix.exe packed_hash)
file(SHA256 ${BINARY_DIR}/bin/Ombrix.exe built_hash)
if(NOT packed_hash STREQUAL built_hash)
    message(FATAL_ERROR "the packed Ombrix.exe differs from the built one")
endif()
message(STATUS "${zips} holds Ombrix.exe, OmbrixHelp.chm, uptime.exe and README.txt")
