# Build step of the Vellumo help, run as: cmake -D... -P build_chm.cmake
# (see CMakeLists.txt for the variables). Fails on anything that would give
# a broken help file, since chmcmd itself always exits with status 0.

foreach(var SRC_DIR STAGE_DIR FILES PROJECT_FILE COMPILED_NAME OUTPUT CHMCMD ICONV)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "build_chm.cmake: ${var} is not set")
  endif()
endforeach()

string(REPLACE "|" ";" FILES "${FILES}")

# The HTML engine of xchm (wxHTML) wraps lines only at spaces, so a Chinese
# paragraph would run off the right edge as one endless line. Give it a
# break opportunity at punctuation: a space that is zero-sized in browsers
# (the Windows viewer) and an ordinary break for wxHTML. Only the body is
# touched, and only text: punctuation inside a tag would be corrupted.
set(break_after "，" "。" "；" "：" "、" "！" "？" "）" "”" "」" "》" "】")
set(break_before "（" "“" "「" "《" "【")
set(break_span "<span style=\"font-size:0\"> </span>")
function(add_line_breaks var name)
  set(text "${${var}}")
  string(FIND "${text}" "<body>" body_pos)
  if(body_pos EQUAL -1)
    message(FATAL_ERROR "${name}: no <body> tag")
  endif()
  string(SUBSTRING "${text}" 0 ${body_pos} head)
  string(SUBSTRING "${text}" ${body_pos} -1 body)
  set(all_marks ${break_after} ${break_before})
  string(JOIN "|" marks_regex ${all_marks})
  if(body MATCHES "<[^>]*(${marks_regex})[^>]*>")
    message(FATAL_ERROR
      "${name}: Chinese punctuation inside a tag (${CMAKE_MATCH_0}); "
      "keep it in the text only")
  endif()
  foreach(mark IN LISTS break_after)
    string(REPLACE "${mark}" "${mark}${break_span}" body "${body}")
  endforeach()
  foreach(mark IN LISTS break_before)
    string(REPLACE "${mark}" "${break_span}${mark}" body "${body}")
  endforeach()
  set(${var} "${head}${body}" PARENT_SCOPE)
endfunction()

# Start from an empty stage so that a page removed from the sources
# cannot linger in the compiled help.
file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}")

file(READ "${SRC_DIR}/${PROJECT_FILE}" project_text)

foreach(name IN LISTS FILES)
  set(src "${SRC_DIR}/${name}")
  set(dst "${STAGE_DIR}/${name}")
  if(NOT EXISTS "${src}")
    message(FATAL_ERROR "Help source ${src} does not exist")
  endif()

  # [FILES] must name every page, so that what goes into the help does not
  # depend on chmcmd finding pages through links.
  if(name MATCHES "\\.html$")
    string(FIND "${project_text}" "\n${name}\n" pos)
    if(pos EQUAL -1)
      message(FATAL_ERROR "${name} is not listed in [FILES] of ${PROJECT_FILE}")
    endif()
  endif()

  # A byte order mark or a character that GB2312 lacks makes iconv fail.
  # Try the untouched source first, so that the position iconv reports
  # can be turned into a line of that file.
  execute_process(
    COMMAND "${ICONV}" -f UTF-8 -t GB2312 "${src}"
    OUTPUT_QUIET
    ERROR_VARIABLE iconv_error
    RESULT_VARIABLE iconv_result
    ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT iconv_result EQUAL 0)
    set(where "")
    if(iconv_error MATCHES "position ([0-9]+)")
      file(READ "${src}" raw)
      string(SUBSTRING "${raw}" 0 ${CMAKE_MATCH_1} before)
      string(REGEX MATCHALL "\n" newlines "${before}")
      list(LENGTH newlines line)
      math(EXPR line "${line} + 1")
      set(where ", line ${line}")
    endif()
    message(FATAL_ERROR
      "Help source ${src}${where} cannot be converted from UTF-8 to GB2312 "
      "(${iconv_error}). Use only characters that GB2312 has: no emoji, no "
      "rare or traditional-only characters, no byte order mark.")
  endif()

  # The pages declare UTF-8 for editors and browsers; the staged copies are
  # GB2312 and must say so.
  file(READ "${src}" text)
  string(REPLACE "charset=utf-8" "charset=gb2312" text "${text}")
  if(name MATCHES "\\.html$")
    add_line_breaks(text "${name}")
  endif()
  file(WRITE "${dst}.utf8" "${text}")
  execute_process(
    COMMAND "${ICONV}" -f UTF-8 -t GB2312 "${dst}.utf8"
    OUTPUT_FILE "${dst}"
    ERROR_VARIABLE iconv_error
    RESULT_VARIABLE iconv_result)
  file(REMOVE "${dst}.utf8")
  if(NOT iconv_result EQUAL 0)
    message(FATAL_ERROR "Converting ${src} to GB2312 failed: ${iconv_error}")
  endif()
endforeach()

set(compiled "${STAGE_DIR}/${COMPILED_NAME}")
execute_process(
  COMMAND "${CHMCMD}" "${PROJECT_FILE}"
  WORKING_DIRECTORY "${STAGE_DIR}"
  OUTPUT_VARIABLE chm_out
  ERROR_VARIABLE chm_err
  RESULT_VARIABLE chm_result)
set(chm_log "${chm_out}${chm_err}")

# chmcmd reports missing files and broken links only as text.
if(NOT chm_result EQUAL 0 OR chm_log MATCHES "(Error|Warning)" OR NOT EXISTS "${compiled}")
  message(FATAL_ERROR "chmcmd failed to compile ${PROJECT_FILE}:\n${chm_log}")
endif()

get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(COPY_FILE "${compiled}" "${OUTPUT}")
