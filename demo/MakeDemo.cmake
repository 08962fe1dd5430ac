# Makes the demo installation: run by the tevo-demo target with
#   DEMO_DIR, STANDIN (the stand-in program), PROGRAMS (names to link), PROFILE_SOURCE (UTF-8),
#   STAMP (touched when done).

foreach(var DEMO_DIR STANDIN PROGRAMS PROFILE_SOURCE STAMP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeDemo.cmake: ${var} is not set")
  endif()
endforeach()

# Relative links, so the folder keeps working when it is copied with its bin/ folder.
file(RELATIVE_PATH target ${DEMO_DIR} ${STANDIN})
foreach(program ${PROGRAMS})
  file(REMOVE ${DEMO_DIR}/${program})
  file(CREATE_LINK ${target} ${DEMO_DIR}/${program} SYMBOLIC RESULT failed)
  if(failed)
    message(FATAL_ERROR "cannot link ${DEMO_DIR}/${program}: ${failed}")
  endif()
endforeach()

# The suite writes its profiles in code page 950 with CR LF line ends.
file(MAKE_DIRECTORY ${DEMO_DIR}/權限)
file(READ ${PROFILE_SOURCE} profile)
string(REPLACE "\r\n" "\n" profile "${profile}")
string(REPLACE "\n" "\r\n" profile "${profile}")
set(crlf ${DEMO_DIR}/權限/權限.INI.utf8)
file(WRITE ${crlf} "${profile}")
execute_process(
  COMMAND iconv -f UTF-8 -t CP950 -o ${DEMO_DIR}/權限/權限.INI.new ${crlf}
  RESULT_VARIABLE failed
  ERROR_VARIABLE why)
file(REMOVE ${crlf})
if(failed)
  file(REMOVE ${DEMO_DIR}/權限/權限.INI.new)
  message(FATAL_ERROR "cannot convert ${PROFILE_SOURCE} to code page 950: ${why}")
endif()
file(RENAME ${DEMO_DIR}/權限/權限.INI.new ${DEMO_DIR}/權限/權限.INI)

file(TOUCH ${STAMP})
