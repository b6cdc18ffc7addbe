# Installs the build into a fresh prefix and checks what a packager and a desktop would see:
# the layout, the desktop entry, the AppStream file, the manual pages and the guide's links.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DDESKTOP_VALIDATE=... -DAPPSTREAMCLI=...
#         [-DGROFF=...] -P InstallLayout.cmake
set(failures 0)
macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()
macro(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("${what} failed (${rc}):\n${out}${err}")
    endif()
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
run("cmake --install" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")

set(expected
    bin/tavik
    bin/tvktool
    share/tavik/default.tvk
    share/tavik/default.zones
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/man/man1/tavik.1
    share/man/man1/tvktool.1
    share/doc/tavik/LICENSE
    share/doc/tavik/NOTICES
    share/doc/tavik/guide/index.html)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tavik.png)
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        fail("missing ${file}")
    endif()
endforeach()

# Nothing lands beside the folders of the layout, and no user's data is installed.
file(GLOB top RELATIVE "${PREFIX}" "${PREFIX}/*")
if(NOT top STREQUAL "bin;share")
    fail("the prefix holds ${top}, not just bin and share")
endif()
file(GLOB_RECURSE user_files "${PREFIX}/*user.tvk" "${PREFIX}/*tavikprefs")
if(user_files)
    fail("user files installed: ${user_files}")
endif()
file(GLOB bin_files RELATIVE "${PREFIX}/bin" "${PREFIX}/bin/*")
if(NOT bin_files STREQUAL "tavik;tvktool")
    fail("bin holds ${bin_files}")
endif()

# The desktop entry starts the installed program by its full path.
file(STRINGS "${PREFIX}/share/applications/${APP_ID}.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${PREFIX}/bin/tavik")
    fail("desktop entry: ${exec}")
endif()
run("desktop-file-validate" "${DESKTOP_VALIDATE}" "${PREFIX}/share/applications/${APP_ID}.desktop")
run("appstreamcli validate" "${APPSTREAMCLI}" validate --no-net --strict
    "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(page tavik tvktool)
    if(GROFF)
        execute_process(COMMAND "${GROFF}" -t -man -ww -z "${PREFIX}/share/man/man1/${page}.1"
            RESULT_VARIABLE rc ERROR_VARIABLE err)
        if(NOT rc EQUAL 0 OR err)
            fail("manual page ${page}.1: ${err}")
        endif()
    endif()
endforeach()

# Every picture and page the guide links to is installed with it.
file(READ "${PREFIX}/share/doc/tavik/guide/index.html" guide)
string(REGEX MATCHALL "(src|href)=\"[^\"#:]+\"" links "${guide}")
if(NOT links)
    fail("the guide links to nothing")
endif()
foreach(link IN LISTS links)
    string(REGEX REPLACE "^(src|href)=\"([^\"]+)\"$" "\\2" target "${link}")
    if(NOT EXISTS "${PREFIX}/share/doc/tavik/guide/${target}")
        fail("the guide links to ${target}, which is not installed")
    endif()
endforeach()

# The installed tool reads the installed database.
run("installed tvktool" "${PREFIX}/bin/tvktool" times "${PREFIX}/share/tavik/default.tvk"
    --utc 2026-06-01T12:00:00Z)

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} problem(s) in the installed layout")
endif()
message(STATUS "Installed layout in ${PREFIX} is complete and valid")
