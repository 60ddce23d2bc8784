#!/bin/bash
# Instructions per mixed frame (44100 Hz) of each live sound against resampling its file at
# natural pitch, counted by callgrind (independent of the machine's load):
#     bench/synth/callgrind_endless.sh <build folder> <program folder> [SECONDS=2]
# Each figure is the difference between a run of 2 × SECONDS and one of SECONDS, so making the
# generator and loading the file drop out. A live sound costs its making (rate / 44100 generated
# frames per mixed frame) plus the same resampling a file has.
set -e
build=$1; dist=$2; seconds=${3:-2}
bench=$build/bench/bench_endless
tmp=$(mktemp -d)
count() { valgrind --tool=callgrind --callgrind-out-file=$tmp/out "$@" 2>&1 | sed -n 's/.*Collected : \([0-9]*\).*/\1/p'; }
twice=$(echo "2 * $seconds" | bc)
printf "sound  making  resampling  live  file  ratio   (instructions per mixed frame)\n"
for n in $(seq 1 35); do
  live=$(( $(count $bench $dist one $n $twice) - $(count $bench $dist one $n $seconds) ))
  file=$(( $(count $bench $dist one $n $twice file) - $(count $bench $dist one $n $seconds file) ))
  echo "$n $live $file"
done | awk -v s=$seconds '{m=$2/(s*44100); f=$3/(s*44100); printf "%5d  %6.1f  %10.1f  %5.1f  %4.1f  %5.1f\n", $1, m, f, m+f, f, (m+f)/f;
  L[$1]=m+f; F[$1]=f} END {
  for (i=1;i<=12;i++) {l12+=L[i]; f12+=F[i]}
  split("1 2 3 6 8 9 13 15 21 23 27 33", t, " "); for (i in t) {lt+=L[t[i]]; ft+=F[t[i]]}
  for (i=1;i<=35;i++) {la+=L[i]; fa+=F[i]}
  printf "sounds 1-12    live %6.1f  files %5.1f  ratio %.1f\n", l12, f12, l12/f12;
  printf "a typical 12   live %6.1f  files %5.1f  ratio %.1f\n", lt, ft, lt/ft;
  printf "all 35         live %6.1f  files %5.1f  ratio %.1f\n", la, fa, la/fa }'
rm -rf $tmp
