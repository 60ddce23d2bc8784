#!/usr/bin/env bash
# Runs every test. Widget tests draw offscreen; the sound-server tests start their own private
# PulseAudio daemon, so nothing on the machine is assumed or touched.
set -euo pipefail
build_dir=${1:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j2 --timeout 300
