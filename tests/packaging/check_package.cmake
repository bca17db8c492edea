# Packs the portable ZIP in a scratch folder and checks that it holds what a Windows user needs:
# the programs just built, stripped, with their version resource and manifest as Windows reads
# them, and a help file that opens on the first topic of its contents.
#   cmake -DBINARY_DIR=<windows build> -DSCRATCH=<folder> -DPROBE=<resource_probe.exe>
#         -DEMULATOR=<runs a Windows program> -DSTRIP=<strip> -DCHMLS=<chmls>
#         -DVERSION=<a.b.c.d> -DSOURCE_DIR=<repository> -P check_package.cmake
cmake_minimum_required(VERSION 3.25)
foreach(tool PROBE STRIP CHMLS)
    if(NOT EXISTS "${${tool}}")
        message(FATAL_ERROR "${tool} is not available: '${${tool}}'")
    endif()
endforeach()

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
foreach(name Ombrix.exe OmbrixHelp.chm uptime.exe README.txt uptime-subscription.xml
             uptime-report.schema.json)
    if(NOT listing MATCHES "/${name}\n")
        message(FATAL_ERROR "${name} is missing from the ZIP:\n${listing}")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${SCRATCH})
string(REGEX REPLACE "\\.zip$" "" top ${zips})

# The subscription ships as checked in (a test keeps that file equal to the tool's own query).
file(READ ${top}/uptime-subscription.xml packed_subscription)
file(READ ${SOURCE_DIR}/packaging/uptime-subscription.xml checked_in_subscription)
if(NOT packed_subscription STREQUAL checked_in_subscription)
    message(SEND_ERROR "the packed uptime-subscription.xml is not the checked-in one")
endif()

# A program's bytes in hex, with what strip writes from the clock blanked out: the PE header's
# time stamp (4 bytes, 8 after the offset stored at 0x3C) and the checksum that covers it
# (4 bytes, 88 after that offset).
function(program_hex path out)
    file(READ ${path} hex HEX)
    string(SUBSTRING "${hex}" 120 8 offset)
    string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" offset "${offset}")
    foreach(field 8 88)
        math(EXPR at "(0x${offset} + ${field}) * 2")
        math(EXPR rest "${at} + 8")
        string(SUBSTRING "${hex}" 0 ${at} head)
        string(SUBSTRING "${hex}" ${rest} -1 tail)
        set(hex "${head}--------${tail}")
    endforeach()
    set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# Each program is the one just built, stripped: a stripped copy of the build's file is the same
# byte for byte, but for the time of stripping.
foreach(program Ombrix uptime)
    set(copy ${SCRATCH}/${program}-built-stripped.exe)
    execute_process(COMMAND ${STRIP} -o ${copy} ${BINARY_DIR}/bin/${program}.exe
                    RESULT_VARIABLE stripped)
    program_hex(${copy} built)
    program_hex(${top}/${program}.exe packed)
    if(NOT stripped EQUAL 0 OR NOT packed STREQUAL built)
        message(SEND_ERROR "the packed ${program}.exe is not the built one, stripped")
    endif()
endforeach()
# What each program may weigh as shipped, in KB of 1,024 bytes.
foreach(limit Ombrix:450 uptime:500)
    string(REPLACE ":" ";" limit ${limit})
    list(GET limit 0 program)
    list(GET limit 1 kilobytes)
    file(SIZE ${top}/${program}.exe bytes)
    math(EXPR shipped "(${bytes} + 1023) / 1024")
    if(shipped GREATER kilobytes)
        message(SEND_ERROR "${program}.exe ships at ${shipped} KB, over its ${kilobytes} KB")
    endif()
endforeach()

# What Windows reads from a shipped program, one "name: value" line each.
function(probe program out)
    execute_process(COMMAND ${EMULATOR} ${PROBE} ${top}/${program}.exe RESULT_VARIABLE result
                    OUTPUT_VARIABLE text ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "resource_probe failed on ${program}.exe: ${errors}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(expect program text line)
    string(FIND "${text}" "${line}\n" at)
    if(at EQUAL -1)
        message(SEND_ERROR "${program}.exe lacks \"${line}\"; it carries:\n${text}")
    endif()
endfunction()

set(supported_systems
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}"  # Windows Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")  # Windows 10 and 11
set(descriptions "")
foreach(program Ombrix uptime)
    probe(${program} text)
    foreach(line "fixed-file-version: ${VERSION}" "fixed-product-version: ${VERSION}" "FileVersion: ${VERSION}"
                 "ProductVersion: ${VERSION}" "OriginalFilename: ${program}.exe"
                 "run-level: asInvoker" "ui-access: 0")
        expect(${program} "${text}" "${line}")
    endforeach()
    foreach(id IN LISTS supported_systems)
        expect(${program} "${text}" "supported-os: ${id}")
    endforeach()
    if(NOT text MATCHES "FileDescription: ([^\n]+)\n")
        message(SEND_ERROR "${program}.exe has no description")
    endif()
    list(APPEND descriptions "${CMAKE_MATCH_1}")
    if(program STREQUAL "Ombrix")
        expect(${program} "${text}" "dpi-aware: true/pm")
        expect(${program} "${text}" "dpi-awareness: PerMonitorV2, PerMonitor")
        if(NOT text MATCHES "assembly: Microsoft\\.Windows\\.Common-Controls,[^\n]*version=\"6\\.")
            message(SEND_ERROR "Ombrix.exe does not bring in the common controls 6:\n${text}")
        endif()
    endif()
endforeach()
list(REMOVE_DUPLICATES descriptions)
list(LENGTH descriptions distinct)
if(NOT distinct EQUAL 2)
    message(SEND_ERROR "the two programs share one description: ${descriptions}")
endif()

# The help file opens on its default topic, as its #SYSTEM records name it: the first topic of
# the compiled contents, and a page in the file.
set(chm ${top}/OmbrixHelp.chm)
execute_process(COMMAND ${CHMLS} printsystem ${chm} OUTPUT_VARIABLE system)
if(NOT system MATCHES "\\(2\\) *Default topic[^:]*:([^ \n]+)")
    message(FATAL_ERROR "OmbrixHelp.chm names no default topic:\n${system}")
endif()
set(default_topic "${CMAKE_MATCH_1}")
if(NOT system MATCHES "\\(0\\) *Contents file[^:]*:([^ \n]+)")
    message(FATAL_ERROR "OmbrixHelp.chm names no contents file:\n${system}")
endif()
set(contents_file "${CMAKE_MATCH_1}")
execute_process(COMMAND ${CHMLS} extract ${chm} /${contents_file} ${SCRATCH}/contents.hhc
                OUTPUT_QUIET)
file(READ ${SCRATCH}/contents.hhc contents)
if(NOT contents MATCHES "<param name=\"Local\" value=\"([^\"]+)\">")
    message(FATAL_ERROR "the compiled contents ${contents_file} hold no topic")
endif()
set(first_topic "${CMAKE_MATCH_1}")
if(NOT default_topic STREQUAL first_topic)
    message(SEND_ERROR "OmbrixHelp.chm opens on ${default_topic}, not on the first topic of its "
                       "contents, ${first_topic}")
endif()
execute_process(COMMAND ${CHMLS} --no-page list -n ${chm} OUTPUT_VARIABLE pages)
if(NOT pages MATCHES "(^|\n)/${default_topic}\n")
    message(SEND_ERROR "OmbrixHelp.chm lacks its default topic ${default_topic}:\n${pages}")
endif()
message(STATUS "${zips} holds Ombrix.exe, OmbrixHelp.chm, uptime.exe, README.txt and "
               "uptime-subscription.xml, "
               "the programs stripped and declared, the help opening on ${default_topic}")
