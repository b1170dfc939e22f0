# Writes the site's service worker from web/sw.js: the list of the site's files it keeps for
# offline play, and the release it caches them as, a hash of all their contents.
#
#   cmake -DTEMPLATE=web/sw.js -DSITE_DIR=... -DFILES="a;b" -DOUTPUT=.../sw.js -P write_service_worker.cmake
set(list "'./'")
set(contents "")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE_DIR}/${file} hash)
  string(APPEND list ", '${file}'")
  string(APPEND contents "${file} ${hash}\n")
endforeach()
string(SHA256 release "${contents}")
string(SUBSTRING ${release} 0 16 release)
file(READ ${TEMPLATE} worker)
string(REPLACE "{{files}}" "[${list}]" worker "${worker}")
string(REPLACE "{{release}}" "${release}" worker "${worker}")
file(WRITE ${OUTPUT} "${worker}")
