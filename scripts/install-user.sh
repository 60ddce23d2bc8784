#!/usr/bin/env bash
# Installs the built program folder for the current user, or removes it again.
#
#   install-user.sh install   BUILD_DIST     copies BUILD_DIST to ~/.local/share/sonaveil and adds
#                                           the menu entry and the icons
#   install-user.sh uninstall                removes what install added; the user's presets,
#                                           equaliser presets, recordings and settings stay
#
# The player keeps every file beside itself, so it is installed where the user can write.
set -euo pipefail

data="${XDG_DATA_HOME:-$HOME/.local/share}"
target="$data/sonaveil"
apps="$data/applications"
icons="$data/icons/hicolor"
manifest="$target/.installed-files"
desktop="$apps/sonaveil.desktop"

# Files the player writes while it runs: never copied from the build, never removed.
state_files=(previous.tmp startup.tmp scard2.tmp settings.ini preset.txt maincol.tmp alarm.tmp effects.tmp)

is_state_file() {
  local name="$1" s
  for s in "${state_files[@]}"; do [ "$name" = "$s" ] && return 0; done
  case "$name" in .*.part-??????) return 0 ;; esac
  return 1
}

install_files() {
  local dist="$1"
  [ -x "$dist/quietdeck" ] || { echo "No player in $dist: build it first (make build)." >&2; exit 2; }
  mkdir -p "$target" "$apps"
  : > "$manifest.new"
  # Files of the user's own (presets in saves/ and presets/, recordings) are never replaced.
  ( cd "$dist" && find . -mindepth 1 \( -type f -o -type l \) -print ) | sed 's|^\./||' | sort |
  while IFS= read -r rel; do
    is_state_file "$(basename "$rel")" && continue
    case "$rel" in "saved recordings/"*) continue ;; esac
    mkdir -p "$target/$(dirname "$rel")"
    case "$rel" in
      saves/*|presets/*|config/colors/*|config/alarms/*)
        [ -e "$target/$rel" ] && continue ;;
    esac
    # A new file renamed into place, so that a running player keeps its old one undisturbed.
    cp -P "$dist/$rel" "$target/$rel.new-install"
    mv -f "$target/$rel.new-install" "$target/$rel"
    printf '%s\n' "$rel" >> "$manifest.new"
  done
  # Folders the programs expect, even when empty.
  ( cd "$dist" && find . -mindepth 1 -type d -print ) | sed 's|^\./||' | while IFS= read -r rel; do
    mkdir -p "$target/$rel"
  done
  # A later install keeps the record of earlier starter presets, so that uninstall knows them.
  if [ -f "$manifest" ]; then sort -u "$manifest" "$manifest.new" > "$manifest.all"; mv "$manifest.all" "$manifest.new"; fi
  mv "$manifest.new" "$manifest"

  for size in 16 32 64; do
    if [ -f "$target/sonaveil-$size.png" ]; then
      mkdir -p "$icons/${size}x${size}/apps"
      cp "$target/sonaveil-$size.png" "$icons/${size}x${size}/apps/sonaveil.png"
    fi
  done
  if [ -f "$target/sonaveil.png" ]; then
    mkdir -p "$icons/256x256/apps"
    cp "$target/sonaveil.png" "$icons/256x256/apps/sonaveil.png"
  fi
  cat > "$desktop.new" <<ENTRY
[Desktop Entry]
Type=Application
Name=Sonaveil
GenericName=Tinnitus masking sounds
Comment=Mix calm noise and nature sounds to mask tinnitus through the night
Exec="$target/quietdeck"
Path=$target
Icon=sonaveil
Terminal=false
Categories=AudioVideo;Audio;Player;
Keywords=tinnitus;masking;noise;sleep;rain;
StartupWMClass=quietdeck
ENTRY
  mv -f "$desktop.new" "$desktop"
  command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
  command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$icons" 2>/dev/null || true
  echo "Installed in $target; the menu entry is $desktop."
}

uninstall_files() {
  if [ -f "$manifest" ]; then
    while IFS= read -r rel; do
      case "$rel" in saves/*|presets/*) continue ;; esac  # the user's presets stay
      rm -f "$target/$rel"
    done < "$manifest"
    rm -f "$manifest"
    # Folders left empty go; anything of the user's keeps its folder.
    find "$target" -mindepth 1 -depth -type d -empty -delete 2>/dev/null || true
    rmdir "$target" 2>/dev/null || true
  fi
  rm -f "$desktop"
  for size in 16x16 32x32 64x64 256x256; do rm -f "$icons/$size/apps/sonaveil.png"; done
  command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
  if [ -d "$target" ]; then
    echo "Removed Sonaveil; your presets and settings stay in $target."
  else
    echo "Removed Sonaveil."
  fi
}

case "${1:-}" in
  install) install_files "${2:?the built program folder}" ;;
  uninstall) uninstall_files ;;
  *) echo "usage: $0 install BUILD_DIST | uninstall" >&2; exit 2 ;;
esac
