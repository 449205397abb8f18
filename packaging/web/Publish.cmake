# Makes the built page (PAGE: its directory) installable and playable offline: names the build
# by its script and module, hands that name to the page and its service worker, and puts the
# manifest and icons beside them. Run after every link, and again on a changed page.
#   cmake -DPAGE=build/page -P Publish.cmake
# The icons are the game's 32-pixel icon scaled by whole pixels, the maskable one inside the
# safe circle on the icon's own background, made once with ImageMagick:
#   convert packaging/icons/32x32/vexlor.png -filter point -resize 192x192 PNG32:icon-192.png
#   (512x512 for icon-512.png; -resize 320x320 -background '#0a0c1c' -gravity center
#   -extent 512x512 for icon-maskable-512.png)
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
