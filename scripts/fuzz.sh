#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz/ and runs each for a
# while on seeds made from the program's own files. Findings go to build-fuzz/findings/.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir=build-fuzz
command -v clang++ >/dev/null || { echo "clang++ is not installed: the bounded random tests in tests/ stand in" >&2; exit 2; }
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONAVEIL_FUZZ=ON >/dev/null
fi
cmake --build "$dir" -j2 --target fuzz
mkdir -p "$dir/findings"
seed() { # target, files...
  local c="$dir/corpus/$1"; shift
  mkdir -p "$c"
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$c/" || true; done
}
seed fuzz_preset assets/saves/*.svp
seed fuzz_quickslots /dev/null
printf '1,"Rain"\r\n2.5,"Storm"\r\nnan,"x"\r\n' > "$dir/corpus/fuzz_quickslots/list"
seed fuzz_textrecord assets/saves/*.svp
seed fuzz_eqf
printf '15,15,15,15,15,15,15,15,15,15\r\n' > "$dir/corpus/fuzz_eqf/flat.eqf"
seed fuzz_startup
printf '0,#TRUE#,#FALSE#\r\n' > "$dir/corpus/fuzz_startup/startup.tmp"
seed fuzz_inifile
printf '[Startup]\r\nDisplay=1\r\nResumeLastMix=1\r\n' > "$dir/corpus/fuzz_inifile/settings.ini"
seed fuzz_renderoptions
printf -- '--sound\0%s\0--seconds\0%s\0--out\0%s' '1,2' '60' 'x.wav' > "$dir/corpus/fuzz_renderoptions/quick"
seed fuzz_commandline
printf -- '--load\0%s\0--mute\0--tray' 'a.svp' > "$dir/corpus/fuzz_commandline/load"
status=0
for t in fuzz_textrecord fuzz_inifile fuzz_preset fuzz_startup fuzz_quickslots fuzz_eqf fuzz_renderoptions fuzz_commandline; do
  echo "== $t (${seconds} s)"
  if ! "$dir/fuzz/$t" "$dir/corpus/$t" -max_total_time="$seconds" -max_len=4096 -timeout=2 \
      -artifact_prefix="$dir/findings/$t-" -print_final_stats=1 2> "$dir/findings/$t.log"; then
    status=1
    echo "   FINDING: see $dir/findings/$t.log"
  fi
  grep -E "^stat::number_of_executed_units|^Done|ERROR" "$dir/findings/$t.log" | sed 's/^/   /' || true
done
exit $status
