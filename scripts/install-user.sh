#!/usr/bin/env bash
# Installs a build with its CMake install rules, or removes what was installed.
#
#   install-user.sh install BUILD_DIR PREFIX     cmake --install BUILD_DIR into PREFIX (honours
#                                                DESTDIR), then the desktop's caches
#   install-user.sh uninstall PREFIX             removes every installed file again
#
# The program folder PREFIX/lib/sonaveil is left read-only, as a package leaves it, so that the
# user's presets, settings and recordings live in $XDG_DATA_HOME/sonaveil (~/.local/share/sonaveil)
# where an earlier install kept them; neither installing again nor uninstalling touches them.
set -euo pipefail

programdir=lib/sonaveil
record=.installed-files
data="${XDG_DATA_HOME:-$HOME/.local/share}"

refresh_caches() {
  local share="$1/share"
  [ -n "${DESTDIR:-}" ] && return 0
  if [ -d "$share/applications" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$share/applications" || true
  fi
  if [ -d "$share/mime/packages" ] && command -v update-mime-database >/dev/null; then
    update-mime-database "$share/mime" || true
  fi
  local icons="$share/icons/hicolor"
  if [ -f "$icons/icon-theme.cache" ] || [ -f "$icons/index.theme" ]; then
    command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -f -t "$icons" 2>/dev/null || true
  fi
}

# An install of the old layout kept the whole program folder in the data folder; its program
# files go, the user's files stay where they are and are found there.
remove_old_layout() {
  local old="$data/sonaveil" rel
  [ -z "${DESTDIR:-}" ] && [ -f "$old/.installed-files" ] || return 0
  while IFS= read -r rel; do
    case "$rel" in saves/*|presets/*|config/colors/*|config/alarms/*) continue ;; esac
    rm -f "$old/$rel"
  done < "$old/.installed-files"
  rm -f "$old/.installed-files"
  find "$old" -mindepth 1 -depth -type d -empty -delete 2>/dev/null || true
  echo "Removed the programs of the earlier install from $old; your files there stay."
}

install_build() {
  local build="$1" prefix="$2"
  [ -f "$build/cmake_install.cmake" ] || { echo "No build in $build: run make build first." >&2; exit 2; }
  local root="${DESTDIR:-}$prefix"
  # An earlier install left the program folder read-only.
  [ -d "$root/$programdir" ] && chmod -R u+w "$root/$programdir"
  remove_old_layout
  cmake --install "$build" --prefix "$prefix" --strip | grep -v '^-- Up-to-date' || true
  [ -x "$root/$programdir/quietdeck" ] || { echo "The install into $root failed." >&2; exit 1; }
  # What uninstall removes: the files of this install and of earlier ones, without DESTDIR.
  local list="$root/$programdir/$record"
  { sed "s|^${DESTDIR:-}||" "$build/install_manifest.txt"; if [ -f "$list" ]; then cat "$list"; fi; } | sort -u > "$list.new"
  mv -f "$list.new" "$list"
  chmod -R a-w "$root/$programdir"
  refresh_caches "$root"
  echo "Installed in $prefix: start Sonaveil from the menu or with $prefix/bin/quietdeck."
}

uninstall_files() {
  local prefix="$1" root="${DESTDIR:-}$1" file dir
  local list="$root/$programdir/$record"
  [ -f "$list" ] || { echo "Nothing installed in $prefix."; return 0; }
  chmod -R u+w "$root/$programdir"
  local folders=()
  while IFS= read -r file; do
    rm -f "${DESTDIR:-}$file"
    folders+=("$(dirname "${DESTDIR:-}$file")")
  done < "$list"
  rm -f "$list"
  # The folders that held our files go when they are empty now, up to share/ and lib/; a
  # desktop cache is all that is left in an icon theme we alone used.
  local sorted=()
  mapfile -t sorted < <(printf '%s\n' "${folders[@]}" | sort -ru)
  for dir in "${sorted[@]}"; do
    while [ "$dir" != "$root" ] && [ "$dir" != "$root/share" ] && [ "$dir" != "$root/lib" ] \
          && [ "$dir" != "$root/bin" ] && [ -d "$dir" ]; do
      [ "$(basename "$dir")" = hicolor ] && [ "$(ls -A "$dir")" = icon-theme.cache ] && rm -f "$dir/icon-theme.cache"
      [ "$(basename "$dir")" = mime ] && [ -z "$(ls -A "$dir/packages" 2>/dev/null)" ] && rm -rf "$dir"
      [ "$(basename "$dir")" = applications ] && [ "$(ls -A "$dir")" = mimeinfo.cache ] && rm -f "$dir/mimeinfo.cache"
      rmdir "$dir" 2>/dev/null || break
      dir=$(dirname "$dir")
    done
  done
  refresh_caches "$root"
  echo "Removed Sonaveil from $prefix; your presets and settings stay in $data/sonaveil."
}

case "${1:-}" in
  install) install_build "${2:?the build folder}" "${3:?the prefix}" ;;
  uninstall) uninstall_files "${2:?the prefix}" ;;
  *) echo "usage: $0 install BUILD_DIR PREFIX | uninstall PREFIX" >&2; exit 2 ;;
esac
