# Gathers every text of the source folders into a copy of the translation file, as
# update_translations does, and fails when a text has no finished English translation or the
# file holds a translation whose text is gone from the sources.
#   cmake -DLUPDATE=... -DSOURCE_DIR=... -DTS_FILE=... -DWORK_DIR=... -DDIRS=a,b -DOPTIONS=x,y -P CheckTranslations.cmake
string(REPLACE "," ";" dirs "${DIRS}")
string(REPLACE "," ";" options "${OPTIONS}")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(name "${TS_FILE}" NAME)
set(copy "${WORK_DIR}/${name}")
file(COPY_FILE "${TS_FILE}" "${copy}")
execute_process(COMMAND "${LUPDATE}" ${options} ${dirs} -ts "${copy}"
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()
file(STRINGS "${copy}" lines ENCODING UTF-8)
set(bad)
set(previous "")
foreach(line IN LISTS lines)
  if(line MATCHES "type=\"(unfinished|vanished|obsolete)\"")
    list(APPEND bad "${CMAKE_MATCH_1}: ${previous}")
  endif()
  set(previous "${line}")
endforeach()
if(bad)
  list(JOIN bad "\n  " shown)
  message(FATAL_ERROR "translations/${name} is not complete; run the update_translations target and translate:\n  ${shown}")
endif()
