# Every target of ours compiles with the same warnings; CI turns them into errors.
function(parvex_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
        $<$<BOOL:${PARVEX_WERROR}>:-Werror>)
endfunction()

# Refuses a wildcard in a source list: which file lands in which target (core or view) must
# be visible in the list, never decided by how a file happens to be named.
function(parvex_refuse_patterns where)
    foreach(source ${ARGN})
        if(source MATCHES "[*?[]")
            message(FATAL_ERROR "${where}: list sources file by file, not '${source}'")
        endif()
    endforeach()
endfunction()

# A static library of the listed sources of the calling folder, or an interface library
# when only headers are listed.
#   parvex_library(<name> <file>...)
function(parvex_library name)
    parvex_refuse_patterns(${name} ${ARGN})
    set(compiled ${ARGN})
    list(FILTER compiled INCLUDE REGEX "\\.cpp$")
    if(compiled)
        add_library(${name} STATIC ${ARGN})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        parvex_warnings(${name})
    else()
        add_library(${name} INTERFACE ${ARGN})
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    endif()
endfunction()

# Links `deps` publicly whatever kind of library `name` is. Only cores are made with
# parvex_library, and a core never links Qt: the windows sit above it.
function(parvex_link name)
    foreach(dep ${ARGN})
        if(dep MATCHES "^Qt")
            message(FATAL_ERROR "${name} is a core and cannot link ${dep}")
        endif()
    endforeach()
    get_target_property(kind ${name} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
        target_link_libraries(${name} INTERFACE ${ARGN})
    else()
        target_link_libraries(${name} PUBLIC ${ARGN})
    endif()
endfunction()
