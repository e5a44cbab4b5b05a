# Writes the manual page of lineara-cli from its own --help text:
#   cmake -DCLI=path/to/lineara-cli -DOUT=lineara-cli.1 -DVERSION=x.y.z -P ManPage.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed (${status})")
endif()

# roff treats a leading dot or quote and every backslash specially.
function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "\n" ";" lines "${help}")
set(commands "")
set(synopsis "")
set(pending "")
foreach(line IN LISTS lines)
    if(line MATCHES "^usage: (.*)$")
        roff_escape("${CMAKE_MATCH_1}" synopsis)
    elseif(line MATCHES "^  ([a-z0-9-]+ [^ ].*[^ ]) [ ]+([^ ].*)$")
        # "  command ARGS      what it does" on one line
        roff_escape("${CMAKE_MATCH_1}" usage)
        roff_escape("${CMAKE_MATCH_2}" what)
        string(APPEND commands ".TP\n.B ${usage}\n${what}\n")
    elseif(line MATCHES "^  ([a-z0-9-]+ .*)$")
        # a long usage line; its description follows on the next, indented line
        string(STRIP "${CMAKE_MATCH_1}" pending)
    elseif(line MATCHES "^[ ]+([^ ].*)$" AND NOT pending STREQUAL "")
        roff_escape("${pending}" usage)
        roff_escape("${CMAKE_MATCH_1}" what)
        string(APPEND commands ".TP\n.B ${usage}\n${what}\n")
        set(pending "")
    endif()
endforeach()
if(commands STREQUAL "")
    message(FATAL_ERROR "no commands found in the --help text of ${CLI}")
endif()

file(WRITE ${OUT}
".TH LINEARA\\-CLI 1 \"\" \"LINEARA ${VERSION}\" \"User Commands\"
.SH NAME
lineara\\-cli \\- the LINEARA pedigree program's commands for scripts and the terminal
.SH SYNOPSIS
.B ${synopsis}
.SH DESCRIPTION
Each command works on the LINEARA database FILE (an SQLite file, usually named *.mdb) with
the same code as the desktop program. Commands that change several dogs change all of them
in one transaction: after a failure or an interruption the database is as it was.
.SH COMMANDS
${commands}.SH EXIT STATUS
0 when the command succeeded; otherwise a message on standard error names the file and the
reason, and the status is not 0.
")
