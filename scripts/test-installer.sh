#!/usr/bin/env bash
# Builds the Windows installer and zip from the windows preset's build, then
# installs, uses, upgrades and uninstalls Thudwerk in a fresh Wine prefix
# (build/wine-installer) with thudwerk_installer_tests. Drive Q: is a sandbox
# (build/installer-sandbox) for VST2 folders the test must not stray out of.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --build --preset windows --target thudwerk_vst2 thudwerk_vst3_plugin thudwerk_clap \
  thudwerk_installer_tests
cpack --preset windows

# The zip carries the installer's files, every format included.
zip="$(ls build/windows/Thudwerk-*-win64.zip)"
listing="$(unzip -Z1 "$zip")"
for file in VST3/Thudwerk.vst3/Contents/x86_64-win/Thudwerk.vst3 VST2/Thudwerk.dll \
  CLAP/Thudwerk.clap; do
  if ! grep -qx "Thudwerk-[0-9.]*-win64/$file" <<<"$listing"; then
    echo "$zip lacks $file" >&2
    exit 1
  fi
done

export WINEPREFIX="$PWD/build/wine-installer" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export THUDWERK_FRESH_PREFIX=1
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot --init >/dev/null 2>&1
sandbox="$PWD/build/installer-sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox"
ln -s "$sandbox" "$WINEPREFIX/dosdevices/q:"
export THUDWERK_SANDBOX_DRIVE='Q:\'
wine build/windows/tests/installer/thudwerk_installer_tests.exe "$@"
