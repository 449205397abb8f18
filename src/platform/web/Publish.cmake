# Makes the built page (PAGE: its directory) installable and playable offline: names the build
# by its script and module, hands that name to the page and its service worker, and puts the
# manifest and icons beside them. Run after every link, and again on a changed page.
#   cmake -DPAGE=build/page -P Publish.cmake
file(SHA256 ${PAGE}/index.js script)
file(SHA256 ${PAGE}/index.wasm module)
string(SHA256 build "${script}${module}")
string(SUBSTRING ${build} 0 16 VEXLOR_BUILD)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ServiceWorker.js ${PAGE}/sw.js @ONLY)
file(READ ${PAGE}/index.html html)
string(REGEX REPLACE "src=\"index\\.js[^\"]*\"" "src=\"index.js?build=${VEXLOR_BUILD}\"" html "${html}")
string(REGEX REPLACE "name=\"vexlor-build\" content=\"[^\"]*\"" "name=\"vexlor-build\" content=\"${VEXLOR_BUILD}\""
       html "${html}")
file(WRITE ${PAGE}/index.html "${html}")
file(COPY ${CMAKE_CURRENT_LIST_DIR}/manifest.webmanifest ${CMAKE_CURRENT_LIST_DIR}/icons/icon-192.png
     ${CMAKE_CURRENT_LIST_DIR}/icons/icon-512.png ${CMAKE_CURRENT_LIST_DIR}/icons/icon-maskable-512.png
     DESTINATION ${PAGE})
