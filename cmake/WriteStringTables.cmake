# Writes the Windows string tables of one text domain as an .rc file: one
# STRINGTABLE per language, from the same sources the gettext build uses.
# The ids and English texts come from the module's string table (TEXTS, the
# C++ file with its kTexts[] table; IDS, the header with its IDS_ numbers),
# the translations from PO_DIR/<lang>.po. A text without a translation, or
# with only a fuzzy one, stays English, as the gettext catalogues leave it.
#
#   cmake -DTEXTS=... -DIDS=... -DPO_DIR=... -DOUTPUT=... -P WriteStringTables.cmake
#
# The file is UTF-8 and says so (#pragma code_page(65001)), so the resource
# compiler turns the texts into UTF-16 whatever the build machine's code
# page. Each language gets its primary language with the neutral
# sublanguage, which the resource loader finds for every regional variant
# (de-DE, de-AT, de-CH); English gets US English, the loader's last resort
# for a user whose language is none of these.
cmake_minimum_required(VERSION 3.20)

foreach(var TEXTS IDS PO_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "WriteStringTables.cmake: ${var} is not set")
  endif()
endforeach()

# Language code -> primary language id and sublanguage (0: neutral).
set(language_es "0x0A, 0x00")  # LANG_SPANISH
set(language_cs "0x05, 0x00")  # LANG_CZECH
set(language_da "0x06, 0x00")  # LANG_DANISH
set(language_de "0x07, 0x00")  # LANG_GERMAN
set(language_en "0x09, 0x01")  # LANG_ENGLISH, SUBLANG_ENGLISH_US
set(language_fi "0x0B, 0x00")  # LANG_FINNISH
set(language_fr "0x0C, 0x00")  # LANG_FRENCH
set(language_it "0x10, 0x00")  # LANG_ITALIAN
set(language_nl "0x13, 0x00")  # LANG_DUTCH
set(language_nb "0x14, 0x00")  # LANG_NORWEGIAN (Bokmål)
set(language_pl "0x15, 0x00")  # LANG_POLISH
set(language_ru "0x19, 0x00")  # LANG_RUSSIAN
set(language_tr "0x1F, 0x00")  # LANG_TURKISH
set(language_pt "0x16, 0x00")  # LANG_PORTUGUESE

# The text of a C or PO string literal's contents, its escapes resolved.
# Only the escapes the texts use are known; any other is refused rather
# than passed on as something else.
string(ASCII 1 backslash_mark)
function(decode_escapes escaped where out)
  string(REPLACE "\\\\" "${backslash_mark}" text "${escaped}")
  string(REPLACE "\\r" "\r" text "${text}")
  string(REPLACE "\\n" "\n" text "${text}")
  string(REPLACE "\\t" "\t" text "${text}")
  string(REPLACE "\\\"" "\"" text "${text}")
  string(REPLACE "\\'" "'" text "${text}")
  string(FIND "${text}" "\\" unknown)
  if(NOT unknown EQUAL -1)
    message(FATAL_ERROR "${where}: an escape other than \\r \\n \\t \\\" \\' \\\\ in \"${escaped}\"")
  endif()
  string(REPLACE "${backslash_mark}" "\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The text as a string of the resource compiler: "" for a quote, C escapes
# for backslash, line breaks and tabs. No other control character may pass.
set(control_characters "")
foreach(code RANGE 1 31)
  if(NOT code EQUAL 9 AND NOT code EQUAL 10 AND NOT code EQUAL 13)
    string(ASCII ${code} character)
    string(APPEND control_characters "${character}")
  endif()
endforeach()
string(ASCII 127 character)
string(APPEND control_characters "${character}")
function(rc_string text where out)
  string(REGEX MATCH "[${control_characters}]" control "${text}")
  if(NOT control STREQUAL "")
    message(FATAL_ERROR "${where}: a control character in \"${text}\"")
  endif()
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  string(REPLACE "\r" "\\r" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# --- The ids: "IDS_NAME = number" in the header. ---------------------------
file(READ "${IDS}" header)
string(REGEX MATCHALL "IDS_[A-Z0-9_]+[ \t]*=[ \t]*[0-9]+" definitions "${header}")
foreach(definition IN LISTS definitions)
  string(REGEX REPLACE "[ \t]*=[ \t]*" ";" pair "${definition}")
  list(GET pair 0 name)
  list(GET pair 1 number)
  set(id_${name} ${number})
endforeach()

# --- The English texts: the entries {IDS_NAME, N_("..." "...")} of kTexts[]. -
# A small tokenizer: comments, string literals, names and single characters.
file(READ "${TEXTS}" source)
string(REGEX MATCH "kTexts\\[\\][ \t\r\n]*=[ \t\r\n]*{" opening "${source}")
if(opening STREQUAL "")
  message(FATAL_ERROR "${TEXTS}: no table kTexts[] = { ... }")
endif()
string(FIND "${source}" "${opening}" start)
string(LENGTH "${opening}" length)
math(EXPR start "${start} + ${length}")
string(SUBSTRING "${source}" ${start} -1 rest)

set(depth 1)
set(ids "")
set(entry_name "")
set(entry_text "")
set(entry_has_text FALSE)
while(depth GREATER 0)
  if(rest STREQUAL "")
    message(FATAL_ERROR "${TEXTS}: the table kTexts[] does not end")
  endif()
  string(REGEX MATCH "^([ \t\r\n]+|//[^\n]*|/\\*|\"([^\"\\\\\n]|\\\\.)*\"|[A-Za-z_][A-Za-z0-9_:]*|.)"
         token "${rest}")
  string(LENGTH "${token}" length)
  if(length EQUAL 0)
    message(FATAL_ERROR "${TEXTS}: cannot read the table kTexts[] on from: ${rest}")
  elseif(token STREQUAL "/*")
    string(SUBSTRING "${rest}" 2 -1 comment)
    string(FIND "${comment}" "*/" close)
    if(close EQUAL -1)
      message(FATAL_ERROR "${TEXTS}: a comment does not end")
    endif()
    math(EXPR length "${close} + 4")
  elseif(token MATCHES "^\"")
    if(depth EQUAL 2)
      string(REGEX REPLACE "^\"(.*)\"$" "\\1" contents "${token}")
      decode_escapes("${contents}" "${TEXTS}" piece)
      string(APPEND entry_text "${piece}")
      set(entry_has_text TRUE)
    endif()
  elseif(token STREQUAL "{")
    math(EXPR depth "${depth} + 1")
    set(entry_name "")
    set(entry_text "")
    set(entry_has_text FALSE)
  elseif(token STREQUAL "}")
    if(depth EQUAL 2)
      if(NOT entry_has_text OR NOT DEFINED id_${entry_name})
        message(FATAL_ERROR "${TEXTS}: an entry \"${entry_name}\" that is not {IDS_NAME, \"text\"} "
                            "with IDS_NAME defined in ${IDS}")
      endif()
      set(id ${id_${entry_name}})
      if(DEFINED english_${id})
        message(FATAL_ERROR "${TEXTS}: id ${id} (${entry_name}) has two texts")
      endif()
      set(english_${id} "${entry_text}")
      list(APPEND ids ${id})
    endif()
    math(EXPR depth "${depth} - 1")
  elseif(token MATCHES "^IDS_" AND depth EQUAL 2 AND entry_name STREQUAL "")
    set(entry_name "${token}")
  endif()
  string(SUBSTRING "${rest}" ${length} -1 rest)
endwhile()
if(ids STREQUAL "")
  message(FATAL_ERROR "${TEXTS}: the table kTexts[] has no texts")
endif()

# --- The translations of one language: msgid -> msgstr, keyed by the hash
# of the msgid. Entries that gettext would not use are left out: fuzzy,
# with a context, plural, untranslated, the header.
function(finish_entry)
  if(fuzzy OR has_context OR plural OR msgid STREQUAL "" OR msgstr STREQUAL "")
    return()
  endif()
  decode_escapes("${msgid}" "${po}" original)
  decode_escapes("${msgstr}" "${po}" translation)
  string(MD5 key "${original}")
  set(translation_${key} "${translation}" PARENT_SCOPE)
endfunction()

macro(start_entry)
  set(fuzzy FALSE)
  set(has_context FALSE)
  set(plural FALSE)
  set(field "")
  set(msgid "")
  set(msgstr "")
endmacro()

function(read_catalogue po)
  file(READ "${po}" content)
  start_entry()
  string(APPEND content "\n\n")
  while(NOT content STREQUAL "")
    string(FIND "${content}" "\n" newline)
    string(SUBSTRING "${content}" 0 ${newline} line)
    math(EXPR newline "${newline} + 1")
    string(SUBSTRING "${content}" ${newline} -1 content)
    string(REGEX REPLACE "\r$" "" line "${line}")
    string(REGEX MATCH "^\"(.*)\"[ \t]*$" quoted "${line}")
    if(line MATCHES "^[ \t]*$")
      finish_entry()
      start_entry()
    elseif(line MATCHES "^#,.*fuzzy")
      set(fuzzy TRUE)
    elseif(line MATCHES "^#")
      # A comment, or an obsolete entry.
    elseif(line MATCHES "^msgctxt ")
      set(has_context TRUE)
      set(field "")
    elseif(line MATCHES "^msgid_plural ")
      set(plural TRUE)
      set(field "")
    elseif(line MATCHES "^msgid \"(.*)\"[ \t]*$")
      set(msgid "${CMAKE_MATCH_1}")
      set(field msgid)
    elseif(line MATCHES "^msgstr \"(.*)\"[ \t]*$")
      set(msgstr "${CMAKE_MATCH_1}")
      set(field msgstr)
    elseif(line MATCHES "^msgstr\\[")
      set(plural TRUE)
      set(field "")
    elseif(NOT quoted STREQUAL "")
      if(NOT field STREQUAL "")
        string(REGEX REPLACE "^\"(.*)\"[ \t]*$" "\\1" piece "${line}")
        string(APPEND ${field} "${piece}")
      endif()
    else()
      message(FATAL_ERROR "${po}: a line that is not of a catalogue: ${line}")
    endif()
  endwhile()
  # Hand the translations up to the caller.
  get_cmake_property(variables VARIABLES)
  foreach(variable IN LISTS variables)
    if(variable MATCHES "^translation_")
      set(${variable} "${${variable}}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# --- The .rc file. -------------------------------------------------------------
file(GLOB catalogues "${PO_DIR}/*.po")
list(SORT catalogues)
if(catalogues STREQUAL "")
  message(FATAL_ERROR "${PO_DIR}: no catalogues")
endif()
file(RELATIVE_PATH texts_name "${CMAKE_CURRENT_LIST_DIR}/.." "${TEXTS}")
file(RELATIVE_PATH po_name "${CMAKE_CURRENT_LIST_DIR}/.." "${PO_DIR}")
string(CONCAT rc
  "// The string tables in every language, made from ${texts_name}\n"
  "// and ${po_name}/*.po by cmake/WriteStringTables.cmake. Do not edit.\n"
  "#pragma code_page(65001)\n")
foreach(po IN LISTS catalogues)
  get_filename_component(lang "${po}" NAME_WE)
  if(NOT DEFINED language_${lang})
    message(FATAL_ERROR "${po}: no Windows language is known for \"${lang}\"")
  endif()
  get_cmake_property(stale VARIABLES)
  foreach(variable IN LISTS stale)
    if(variable MATCHES "^translation_")
      unset(${variable})
    endif()
  endforeach()
  read_catalogue("${po}")
  string(APPEND rc "\n// ${lang}\nLANGUAGE ${language_${lang}}\nSTRINGTABLE\nBEGIN\n")
  foreach(id IN LISTS ids)
    string(MD5 key "${english_${id}}")
    if(DEFINED translation_${key})
      set(text "${translation_${key}}")
    else()
      set(text "${english_${id}}")
    endif()
    rc_string("${text}" "${po}" quoted)
    string(APPEND rc "    ${id} ${quoted}\n")
  endforeach()
  string(APPEND rc "END\n")
endforeach()

# Written only when it changes, so that the resources are not compiled again
# for nothing.
set(previous "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT previous STREQUAL rc)
  file(WRITE "${OUTPUT}" "${rc}")
endif()
