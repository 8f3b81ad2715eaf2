#!/usr/bin/env bash
# Builds the Linux plug-ins and thudwerk-render, installs them for the
# current user with the factory presets, and renders a demo through the
# installed VST3. Safe to rerun: every step replaces what an earlier run put
# in place and leaves the user's own presets alone.
#
#   ~/.vst3/Thudwerk.vst3    the VST3 bundle
#   ~/.vst/Thudwerk.so       the VST2 plug-in
#   ~/.clap/Thudwerk.clap    the CLAP plug-in
#   ~/.lv2/Thudwerk.lv2      the LV2 bundle
#   <documents>/VornAudio/Thudwerk/Presets/Factory/   the factory presets
#
# <documents> is $THUDWERK_DOCUMENTS_DIR, else the XDG documents folder,
# else $HOME/Documents: the folder the plug-ins look in.
set -euo pipefail

root_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${THUDWERK_BUILD_DIR:-$root_dir/build/linux}"
demo_dir="${THUDWERK_DEMO_DIR:-$root_dir/build/demo}"

say() { printf '==> %s\n' "$*"; }

# What the native build needs; anything missing is installed by the
# project's set-up script.
native_deps_present() {
  local tool
  for tool in cmake ninja c++ pkg-config; do
    command -v "$tool" >/dev/null 2>&1 || return 1
  done
  [ -f /usr/include/png.h ] && [ -f /usr/include/CLI/CLI.hpp ] &&
    [ -d /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK ] &&
    [ -f /usr/include/lv2/core/lv2.h ] && pkg-config --exists freetype2 fontconfig lilv-0
}

documents_folder() {
  if [ -n "${THUDWERK_DOCUMENTS_DIR:-}" ]; then
    printf '%s\n' "${THUDWERK_DOCUMENTS_DIR%/}"
    return
  fi
  local xdg=""
  if command -v xdg-user-dir >/dev/null 2>&1; then
    xdg="$(xdg-user-dir DOCUMENTS 2>/dev/null || true)"
  fi
  # xdg-user-dir answers the home folder itself when documents are not set.
  if [ -n "$xdg" ] && [ "${xdg%/}" != "${HOME%/}" ]; then
    printf '%s\n' "${xdg%/}"
  else
    printf '%s\n' "$HOME/Documents"
  fi
}

if ! native_deps_present; then
  say "Installing the build dependencies"
  "$root_dir/scripts/setup-deps.sh"
fi

say "Building the plug-ins and thudwerk-render in $build_dir"
cd "$root_dir"
cmake --preset linux -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target thudwerk_vst2 thudwerk_vst3_plugin thudwerk_clap \
  thudwerk_lv2 thudwerk_render

vst3_bundle="$build_dir/adapters/vst3/Thudwerk.vst3"
vst2_binary="$build_dir/adapters/vst2/Thudwerk.so"
clap_binary="$build_dir/adapters/clap/Thudwerk.clap"
lv2_bundle="$build_dir/lv2/Thudwerk.lv2"
renderer="$build_dir/tools/render/thudwerk-render"

say "Installing the plug-ins for $(id -un)"
mkdir -p "$HOME/.vst3" "$HOME/.vst" "$HOME/.clap"
# A fresh copy next to the old one, then swapped in, so a failed copy never
# leaves half a bundle behind.
rm -rf "$HOME/.vst3/Thudwerk.vst3.new"
cp -R "$vst3_bundle" "$HOME/.vst3/Thudwerk.vst3.new"
rm -rf "$HOME/.vst3/Thudwerk.vst3"
mv "$HOME/.vst3/Thudwerk.vst3.new" "$HOME/.vst3/Thudwerk.vst3"
install -m 0755 "$vst2_binary" "$HOME/.vst/Thudwerk.so"
install -m 0755 "$clap_binary" "$HOME/.clap/Thudwerk.clap"
mkdir -p "$HOME/.lv2"
rm -rf "$HOME/.lv2/Thudwerk.lv2.new"
cp -R "$lv2_bundle" "$HOME/.lv2/Thudwerk.lv2.new"
rm -rf "$HOME/.lv2/Thudwerk.lv2"
mv "$HOME/.lv2/Thudwerk.lv2.new" "$HOME/.lv2/Thudwerk.lv2"

preset_dir="$(documents_folder)/VornAudio/Thudwerk/Presets"
say "Installing the factory presets into $preset_dir/Factory"
mkdir -p "$preset_dir/Factory" "$preset_dir/User"
shopt -s nullglob
factory=("$root_dir"/resources/presets/Factory/*.thudwerkpreset)
shopt -u nullglob
for preset in "${factory[@]}"; do
  install -m 0644 "$preset" "$preset_dir/Factory/"
done
printf '    %d factory presets\n' "${#factory[@]}"

say "Rendering the demo through the installed VST3"
mkdir -p "$demo_dir"
# One bar of four on the floor at 120 BPM: a deep, long kick on beats one
# and three, a short, driven, clicky one on beats two and four.
deep=(BassEnvDecay=0.5 BassPitchAmt=0.15 TransistorDistLoad=0 SnapAmpLevel=0.6
      SnapEnvDecay=0.1 SnapPitchAmt=0.3)
punchy=(BassEnvDecay=0.25 BassPitchAmt=0.8 TransistorDistLoad=0.6 SnapAmpLevel=1
        SnapEnvDecay=0.35 SnapPitchAmt=0.8)
settings=()
for beat in 0 1 2 3; do
  seconds="$(awk -v b="$beat" 'BEGIN { printf "%.2f", b * 0.5 }')"
  if [ $((beat % 2)) -eq 0 ]; then sound=("${deep[@]}"); else sound=("${punchy[@]}"); fi
  for setting in "${sound[@]}"; do settings+=(--set "$seconds:$setting"); done
done
"$renderer" "$HOME/.vst3/Thudwerk.vst3" \
  --note 33 --note 38 --note 33 --note 38 \
  --velocity 120 --velocity 100 --velocity 120 --velocity 100 \
  --at 0 --at 0.5 --at 1 --at 1.5 --length 0.3 \
  --param MainVolume=0.8 "${settings[@]}" \
  --tail 0.8 --spectrogram -o "$demo_dir/thudwerk-demo.wav"

cat <<EOF

Thudwerk is installed:
  VST3:     $HOME/.vst3/Thudwerk.vst3
  VST2:     $HOME/.vst/Thudwerk.so
  CLAP:     $HOME/.clap/Thudwerk.clap
  LV2:      $HOME/.lv2/Thudwerk.lv2
  presets:  $preset_dir/Factory
The demo bar:
  WAV:      $demo_dir/thudwerk-demo.wav
  picture:  $demo_dir/thudwerk-demo.png
Render your own with $renderer --help
EOF
