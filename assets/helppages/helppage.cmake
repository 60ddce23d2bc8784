# Writes one page of the user guide: the head and page header every page shares (page.html.in)
# around the page's own text. A page's source starts with three lines, its <title>, its <h1> and
# the line under that, then holds its text. A line "@SHARED name@" in it stands for the text of
# shared/name.html beside the template, which several pages hold alike.
#
#   cmake -DPAGE=<source> -DTEMPLATE=<page.html.in> -DOUT=<page> -P helppage.cmake

cmake_minimum_required(VERSION 3.20)

file(READ "${PAGE}" text)
foreach(part TITLE HEADING TAGLINE)
  string(FIND "${text}" "\n" end)
  if(end LESS 0)
    message(FATAL_ERROR "${PAGE} must begin with its title, heading and tagline lines")
  endif()
  string(SUBSTRING "${text}" 0 ${end} line)
  set(${part} "${line}")
  math(EXPR end "${end} + 1")
  string(SUBSTRING "${text}" ${end} -1 text)
endforeach()
if(NOT TITLE MATCHES "^<title>.*</title>$" OR NOT HEADING MATCHES "^<h1 ")
  message(FATAL_ERROR "${PAGE} must begin with a <title> line and an <h1> line")
endif()
get_filename_component(folder "${TEMPLATE}" DIRECTORY)
string(REGEX MATCHALL "@SHARED [a-z-]+@\n" markers "${text}")
foreach(line IN LISTS markers)
  string(REGEX REPLACE "@SHARED ([a-z-]+)@\n" "\\1" name "${line}")
  if(NOT EXISTS "${folder}/shared/${name}.html")
    message(FATAL_ERROR "${PAGE} names shared/${name}.html, which is not there")
  endif()
  file(READ "${folder}/shared/${name}.html" shared)
  string(REPLACE "${line}" "${shared}" text "${text}")
endforeach()
file(READ "${TEMPLATE}" page)
string(REPLACE "@TITLE@" "${TITLE}" page "${page}")
string(REPLACE "@HEADING@" "${HEADING}" page "${page}")
string(REPLACE "@TAGLINE@" "${TAGLINE}" page "${page}")
string(REPLACE "@TEXT@" "${text}" page "${page}")
file(WRITE "${OUT}" "${page}")
