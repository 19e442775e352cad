#!/usr/bin/env bash
# Builds the Debian package from the install rules, unpacks it and checks what a user gets: both
# programs, a valid menu entry, the E-File MIME type, the icon, and a varnel-cli that runs.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb="$(ls "$work"/out/varnel-*.deb)"
dpkg-deb -x "$deb" "$work/root"
fail() { echo "FAIL: $*"; exit 1; }
for f in usr/bin/varnel usr/bin/varnel-cli usr/share/applications/varnel.desktop \
         usr/share/mime/packages/varnel-efile.xml usr/share/icons/hicolor/scalable/apps/varnel.svg; do
  [ -e "$work/root/$f" ] || fail "$f missing from the package"
done
desktop-file-validate "$work/root/usr/share/applications/varnel.desktop" || fail "invalid .desktop"
grep -q 'MimeType=application/x-varnel-efile;' "$work/root/usr/share/applications/varnel.desktop" \
  || fail "the menu entry does not open E-Files"
grep -q 'pattern="\*.eqp" case-sensitive="false"' "$work/root/usr/share/mime/packages/varnel-efile.xml" \
  || fail "the MIME type does not match *.eqp in any letter case"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no Qt dependency"
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "no SDL dependency"
"$work/root/usr/bin/varnel-cli" --help | grep -q "Usage: varnel-cli" || fail "varnel-cli --help"
echo "package ok: $(basename "$deb")"
