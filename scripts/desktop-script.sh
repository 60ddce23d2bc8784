# Sourced by the scripts that private-desktop.sh runs, after they set default_out: $here is the
# source tree, $out the folder for what they write (their first argument, else $here/$default_out),
# $dist a copy of build/dist on the private desktop, and "${tree[@]}" the accessibility-tree reader.
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/$default_out}
mkdir -p "$out"
tree=(/usr/bin/python3 "$here/scripts/atspi_tree.py")
dist="$PRIVATE_DESKTOP/dist"
cp -a "$here/build/dist" "$dist"
