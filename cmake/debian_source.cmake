# tarvex_debian_source(VARIABLE HOME MARKER): the folder of a Debian source
# package that scripts/setup unpacked under HOME (the newest, when there are
# several), found by a file it holds; kept in the cache as VARIABLE.
function(tarvex_debian_source variable home marker)
    file(GLOB markers ${home}/*/${marker})
    list(SORT markers)
    list(POP_BACK markers found)
    get_filename_component(found "${found}" DIRECTORY)
    set(${variable} "${found}" CACHE PATH "Unpacked Debian source package")
    if(NOT EXISTS "${${variable}}/${marker}")
        message(FATAL_ERROR "'${marker}' not found under '${home}': run scripts/setup")
    endif()
endfunction()
