# Writes the Windows window's string table from the text catalogue (app/Texts.h), so each text
# we added is typed once. Run at build time:
#   cmake -DSOURCE=app/Texts.h -DOUTPUT=Texts.rc -P cmake/TextTable.cmake
# Each entry {id, QT_TRANSLATE_NOOP("Orvalen", "text")} becomes string kTextIdBase + id; a
# counted text (QT_TRANSLATE_N_NOOP) its source, in its first form only. The table is
# language-neutral, which Windows falls back to; a translated table goes beside it
# under its own LANGUAGE.
cmake_minimum_required(VERSION 3.25)
set(base 20000)

file(READ "${SOURCE}" catalogue ENCODING UTF-8)
# Semicolons would split CMake's lists.
string(REPLACE ";" "@SEMICOLON@" catalogue "${catalogue}")
string(REGEX MATCHALL "[{][0-9]+, QT_TRANSLATE_(N_)?NOOP\\(\"Orvalen\", \"[^\n]*\"\\)[}]" entries
       "${catalogue}")
if(NOT entries)
    message(FATAL_ERROR "${SOURCE}: no texts found")
endif()

set(table "")
set(seen "")
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^[{]([0-9]+), .*$" "\\1" id "${entry}")
    string(REGEX REPLACE "^[{][0-9]+, QT_TRANSLATE_(N_)?NOOP\\(\"Orvalen\", \"(.*)\"\\)[}]$" "\\2" text
           "${entry}")
    if(id IN_LIST seen)
        message(FATAL_ERROR "${SOURCE}: text id ${id} is given twice")
    endif()
    list(APPEND seen ${id})
    math(EXPR resource "${base} + ${id}")
    # A C++ \" is a resource compiler's "".
    string(REPLACE "\\\"" "\"\"" text "${text}")
    string(REPLACE "@SEMICOLON@" ";" text "${text}")
    string(APPEND table "    ${resource} \"${text}\"\n")
endforeach()

file(WRITE "${OUTPUT}.new"
"// Written from app/Texts.h by cmake/TextTable.cmake at build time; not to be edited.
#pragma code_page(65001)

LANGUAGE 0, 0

STRINGTABLE
BEGIN
${table}END
")
# Unchanged texts leave the file alone, so nothing is rebuilt for them.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
