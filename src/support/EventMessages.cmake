# Writes the event log's message file from the failure classes' table, at
# build time: one message for each row of kFailureClasses
# (src/support/FailureClass.h), under the row's event ID, and the same text
# for every one, the error line itself (the event's one string; "%0" ends it
# without a line break). Facility 0, so that Event Viewer shows the ID as the
# small number it is; severity Error, whose bits the program puts in the
# identifier it gives ReportEventW (EventLog_win32.cpp), since Event Viewer
# looks the message up by the whole identifier.
#   cmake -DTABLE=<FailureClass.h> -DOUTPUT=<EventMessages.mc> -P EventMessages.cmake
file(READ ${TABLE} table)
string(REGEX MATCHALL "{FailureClass::[A-Za-z]+, [0-9]+," rows "${table}")
if(NOT rows)
  message(FATAL_ERROR "No failure classes found in ${TABLE}")
endif()
set(mc "; // Made by src/support/EventMessages.cmake from src/support/FailureClass.h.
MessageIdTypedef=DWORD
SeverityNames=(Error=0x3:WM_SEVERITY_ERROR)
FacilityNames=(Program=0x0:WM_FACILITY_PROGRAM)
LanguageNames=(English=0x409:MSG00409)
")
foreach(row ${rows})
  string(REGEX REPLACE "{FailureClass::([A-Za-z]+), ([0-9]+)," "\\1;\\2" row "${row}")
  list(GET row 0 name)
  list(GET row 1 id)
  # CommandLine: WM_EVENT_COMMAND_LINE.
  string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" name "${name}")
  string(TOUPPER "${name}" name)
  string(APPEND mc "
MessageId=${id}
Severity=Error
Facility=Program
SymbolicName=WM_EVENT_${name}
Language=English
%1%0
.
")
endforeach()
file(WRITE ${OUTPUT} "${mc}")
