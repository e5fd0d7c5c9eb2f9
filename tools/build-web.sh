#!/usr/bin/env bash
# Builds the web page into build/web/, a folder any static web server can serve: the engine
# compiled to WebAssembly by emscripten (in build/wasm), the page's files from web/, the
# velocities picture, the icons, and the service worker with the list of those files and a
# version made from their contents.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh web >&2
# Debian's emcc runs its JavaScript tools with node and needs Debian's node modules (acorn),
# which a Node.js other than Debian's own does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build/wasm -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_UI=OFF \
  -DGUSTRULE_BUILD_TESTS=OFF >/dev/null
cmake --build build/wasm --target gustrule_web >&2

out=build/web
rm -rf "$out"
mkdir -p "$out/icons"
cp web/index.html web/style.css web/app.js web/engine.js web/manifest.webmanifest "$out/"
cp build/wasm/web/gustrule-engine.js build/wasm/web/gustrule-engine.wasm "$out/"
cp ui/velocities.jpg "$out/"
cp web/icons/gustrule-192.png web/icons/gustrule-512.png "$out/icons/"

# Everything the page may load, for the service worker to keep: every file copied above; "./" is
# the page itself.
mapfile -t files < <(cd "$out" && find . -type f -printf '%P\n' | LC_ALL=C sort)
version=$(cd "$out" && cat "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf "'%s', " "${files[@]}")
sed -e "s/@VERSION@/$version/" -e "s|@FILES@|${list%, }|" web/sw.js >"$out/sw.js"
# The engine's tests import the page's scripts in Node, which before version 20 reads a .js file
# as an ES module only under a package.json that says so. Browsers never ask for it.
echo '{ "type": "module" }' >"$out/package.json"
echo "build-web.sh: $out/ ($(du -sk "$out" | cut -f1) KB, version $version)"
