# Validates the metainfo strictly with whichever appstreamcli the machine has.
# Run as: cmake -DAPPSTREAMCLI=... -DMETAINFO=... -DWORK=<scratch folder> -P validate_metainfo.cmake
#
# The file is in AppStream 1.0's form. Two allowances, and nothing else:
# - The game has no web site, and carries no address that does not exist, so AppStream 1.0's
#   request for a homepage is reported but does not fail the check.
# - Validators before 1.0 do not know the <developer> element; they check the same file with the
#   developer written in their older <developer_name> form.
execute_process(COMMAND ${APPSTREAMCLI} --version OUTPUT_VARIABLE version_text)
string(REGEX MATCH "[0-9]+\\.[0-9]+(\\.[0-9]+)?" version "${version_text}")
if(NOT version)
  message(FATAL_ERROR "cannot tell the version of ${APPSTREAMCLI}: ${version_text}")
endif()

set(checked ${METAINFO})
set(allowances "")
if(version VERSION_LESS 1.0)
  file(READ ${METAINFO} content)
  string(REGEX REPLACE "<developer id=\"[^\"]*\">[ \n]*<name>([^<]*)</name>[ \n]*</developer>"
                       "<developer_name>\\1</developer_name>" content "${content}")
  get_filename_component(name ${METAINFO} NAME)
  set(checked ${WORK}/${name})
  file(WRITE ${checked} "${content}")
else()
  set(allowances --override=url-homepage-missing=pedantic)
endif()

execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --strict --explain ${allowances} ${checked}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("appstreamcli ${version}:\n${out}")
# Strict already fails on warnings; infos must not creep in either.
if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EWI]: ")
  message(FATAL_ERROR "the metainfo does not validate cleanly with appstreamcli ${version}")
endif()
