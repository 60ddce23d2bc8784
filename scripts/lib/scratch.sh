# Sourced by scripts that start helper processes. Makes a scratch folder, /tmp/NAME.XXXXXX, in
# $scratch; the script adds each process it starts to `pids`. At exit they are stopped, the last
# started first, and the folder is removed.
#
#   . scripts/lib/scratch.sh NAME
scratch=$(mktemp -d "/tmp/$1.XXXXXX")
pids=()
cleanup() {
  for (( i=${#pids[@]}-1; i>=0; i-- )); do kill "${pids[$i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
