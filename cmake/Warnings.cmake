# Warnings are errors in every build of our own code (not in third-party code).
add_library(ombrix_warnings INTERFACE)
if(MSVC)
    target_compile_options(ombrix_warnings INTERFACE /W4 /WX /permissive-)
else()
    target_compile_options(ombrix_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
        -Wold-style-cast -Woverloaded-virtual -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12 reports std::string concatenation as overlapping copies at -O2 and above
        # (GCC bug 105329), a false alarm.
        target_compile_options(ombrix_warnings INTERFACE -Wno-restrict)
    endif()
endif()

if(OMBRIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
