# Installs the build into a fresh prefix and checks the installed tree:
# the program answers --version, the desktop entry starts an installed
# program, and the companion programs are where the program looks for them.
#
#   cmake -DBUILD_DIR=... -DSTAGE=... -P check_install.cmake

file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

execute_process(COMMAND ${STAGE}/bin/vantorel --version
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 30)
if(NOT result EQUAL 0 OR NOT out MATCHES "^vantorel [0-9]+\\.[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "installed vantorel --version: ${result} '${out}' '${err}'")
endif()

set(desktop ${STAGE}/share/applications/org.vantorel.Vantorel.desktop)
file(STRINGS ${desktop} exec_lines REGEX "^Exec=")
list(LENGTH exec_lines count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "desktop entry has ${count} Exec lines")
endif()
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec_program "${exec_lines}")
if(NOT EXISTS ${STAGE}/bin/${exec_program})
    message(FATAL_ERROR "desktop entry starts '${exec_program}', not installed in bin/")
endif()
file(STRINGS ${desktop} icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${icon_line}")
if(NOT EXISTS ${STAGE}/share/icons/hicolor/scalable/apps/${icon}.svg)
    message(FATAL_ERROR "desktop entry names icon '${icon}', not installed")
endif()

# The desktop entry and the AppStream file pass their validators (when installed).
find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
    execute_process(COMMAND ${DESKTOP_VALIDATE} ${desktop} RESULT_VARIABLE result
                    OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0 OR out MATCHES "error")
        message(FATAL_ERROR "desktop-file-validate: ${out}")
    endif()
endif()
find_program(APPSTREAM_UTIL appstream-util)
if(APPSTREAM_UTIL)
    execute_process(COMMAND ${APPSTREAM_UTIL} validate-relax --nonet
                            ${STAGE}/share/metainfo/org.vantorel.Vantorel.metainfo.xml
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "appstream-util validate-relax: ${out}")
    endif()
endif()

foreach(program Engine VTIngest NWWSEngine RivarODEZE blat abcPager)
    set(path ${STAGE}/libexec/vantorel/${program})
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "companion ${program} not installed in libexec/vantorel/")
    endif()
    execute_process(COMMAND ${path} --version RESULT_VARIABLE result OUTPUT_VARIABLE out
                    TIMEOUT 30)
    if(NOT result EQUAL 0 OR NOT out MATCHES "${program} [0-9]")
        message(FATAL_ERROR "${program} --version: ${result} '${out}'")
    endif()
    if(NOT EXISTS ${STAGE}/share/man/man1/${program}.1)
        message(FATAL_ERROR "no manual page for ${program}")
    endif()
endforeach()
# The engine's systemd user units start the installed engine headless; with
# the staged path put in, systemd's own check passes (when installed).
find_program(SYSTEMD_ANALYZE systemd-analyze)
foreach(unit vantorel-engine.service vantorel-engine@.service)
    set(path ${STAGE}/lib/systemd/user/${unit})
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "systemd user unit ${unit} not installed in lib/systemd/user/")
    endif()
    file(STRINGS ${path} exec_line REGEX "^ExecStart=")
    if(NOT exec_line MATCHES "^ExecStart=(/[^ ]*)/Engine --headless")
        message(FATAL_ERROR "${unit}: '${exec_line}' does not start Engine --headless")
    endif()
    set(installed_dir ${CMAKE_MATCH_1})
    if(SYSTEMD_ANALYZE)
        file(READ ${path} text)
        string(REPLACE "${installed_dir}/" "${STAGE}/libexec/vantorel/" text "${text}")
        set(check_dir ${STAGE}/unit-check)
        set(check_unit ${unit})
        if(unit MATCHES "@")
            string(REPLACE "@" "@tmp-stage" check_unit ${unit})
        endif()
        file(WRITE ${check_dir}/${check_unit} "${text}")
        execute_process(COMMAND ${SYSTEMD_ANALYZE} verify --user ${check_dir}/${check_unit}
                        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 60)
        # a unit with a fault that systemd ignores is still wrong
        if(NOT result EQUAL 0 OR out MATCHES "${check_unit}")
            message(FATAL_ERROR "systemd-analyze verify ${unit}: ${out}")
        endif()
    endif()
endforeach()
foreach(shipped zonecode.csv us-outlines.txt)
    if(NOT EXISTS ${STAGE}/share/vantorel/${shipped})
        message(FATAL_ERROR "shipped default ${shipped} missing in share/vantorel/")
    endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
