# Sourced by the scripts that compile for the browser with Debian's
# emscripten (scripts/setup --web installs it).
#  - Its system libraries come prebuilt in Debian's read-only cache; a cache
#    of one's own would be rebuilt from sources that Debian does not ship.
#  - Its optimiser runs on node and needs Debian's acorn, which lies outside
#    node's own search path.
unset EM_CACHE
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
