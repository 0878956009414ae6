# The program calls a few WebKitGTK functions on the views wxWebView makes, so
# it must use the WebKitGTK API that the installed wxWebView library links:
# two copies of WebKit in one process do not work. Debian 12 builds wxWebView
# on webkit2gtk-4.0; Debian 13 and Ubuntu 24.04 on webkit2gtk-4.1.
#
#   scoutwell_find_webkit()   # after find_package(wxWidgets ...) and PkgConfig
#
# defines the imported target PkgConfig::WEBKIT for the API found.

function(scoutwell_find_webkit)
    set(api "")
    # wx-config gives the library as -lwx_gtk3u_webview-3.2 with -L folders.
    set(folders "")
    set(name "")
    foreach(item IN LISTS wxWidgets_LIBRARIES)
        if(item MATCHES "^-L(.+)$")
            list(APPEND folders "${CMAKE_MATCH_1}")
        elseif(item MATCHES "(wx_[A-Za-z0-9]+_webview-[0-9.]+)")
            set(name "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    if(name)
        find_library(SCOUTWELL_WX_WEBVIEW_LIBRARY NAMES ${name} HINTS ${folders})
    endif()
    if(SCOUTWELL_WX_WEBVIEW_LIBRARY AND CMAKE_OBJDUMP)
        execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${SCOUTWELL_WX_WEBVIEW_LIBRARY}
            OUTPUT_VARIABLE headers ERROR_QUIET RESULT_VARIABLE failed)
        if(NOT failed AND headers MATCHES "NEEDED +libwebkit2gtk-(4\\.[01])\\.so")
            set(api ${CMAKE_MATCH_1})
        endif()
    endif()

    if(api)
        message(STATUS "wxWebView (${SCOUTWELL_WX_WEBVIEW_LIBRARY}) links WebKitGTK ${api}")
        pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET GLOBAL webkit2gtk-${api})
    else()
        # Not an ELF library we can read (a static wx, another linker): take
        # the newer API when its development files are there.
        message(STATUS "Could not tell which WebKitGTK wxWebView links; trying 4.1, then 4.0")
        pkg_search_module(WEBKIT REQUIRED IMPORTED_TARGET GLOBAL webkit2gtk-4.1 webkit2gtk-4.0)
    endif()
endfunction()
