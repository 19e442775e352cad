#!/usr/bin/env bash
# Builds the Debian package from the install rules and checks it as Debian and a user would:
# lintian and appstreamcli report no error and no warning; the package holds both programs with
# their manual pages, a valid menu entry, the E-File MIME type, the icon, the AppStream metadata
# and varnel-cli's bash completion; its dependencies come from dpkg-shlibdeps.
# Usage: package_test.sh BUILDDIR
set -euo pipefail
build="$1"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
version="$(sed -n 's/^project(Varnel VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")"
arch="$(dpkg --print-architecture)"
deb="$work/out/varnel_${version}-1_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(ls "$work/out")"

# lintian: nothing at error or warning level (overrides would need a written reason; there are
# none). Info and pedantic tags are shown but pass.
lintian --fail-on error,warning --display-info "$deb" | tee "$work/lintian.txt" \
  || fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$work/root"
root="$work/root"
for f in usr/bin/varnel usr/bin/varnel-cli usr/share/applications/varnel.desktop \
         usr/share/mime/packages/varnel-efile.xml usr/share/icons/hicolor/scalable/apps/varnel.svg \
         usr/share/man/man1/varnel.1.gz usr/share/man/man1/varnel-cli.1.gz \
         usr/share/metainfo/org.example.varnel.metainfo.xml \
         usr/share/bash-completion/completions/varnel-cli \
         usr/share/doc/varnel/copyright usr/share/doc/varnel/changelog.Debian.gz; do
  [ -e "$root/$f" ] || fail "$f missing from the package"
done

appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.varnel.metainfo.xml" \
  >"$work/appstream.txt" 2>&1 || { cat "$work/appstream.txt"; fail "appstreamcli validate"; }
# A warning does not fail validate on its own: nothing but infos may be reported.
if grep -qE '^[EW]:' "$work/appstream.txt"; then cat "$work/appstream.txt"; fail "appstream warnings"; fi
appstreamcli validate-tree --no-net "$root" >"$work/tree.txt" 2>&1 \
  || { cat "$work/tree.txt"; fail "appstreamcli validate-tree"; }

desktop-file-validate "$root/usr/share/applications/varnel.desktop" || fail "invalid .desktop"
grep -q 'MimeType=application/x-varnel-efile;' "$root/usr/share/applications/varnel.desktop" \
  || fail "the menu entry does not open E-Files"
grep -q 'pattern="\*.eqp" case-sensitive="false"' "$root/usr/share/mime/packages/varnel-efile.xml" \
  || fail "the MIME type does not match *.eqp in any letter case"

depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libsdl2 libpng16 libc6 libstdc++6; do
  grep -q "$lib" <<<"$depends" || fail "no $lib in Depends: $depends"
done
grep -q '(>=' <<<"$depends" || fail "Depends without versions: not from dpkg-shlibdeps"
file -L "$root/usr/bin/varnel" "$root/usr/bin/varnel-cli" | grep -q 'not stripped' \
  && fail "unstripped binaries"

"$root/usr/bin/varnel-cli" --help | grep -q "Usage: varnel-cli" || fail "varnel-cli --help"
[ "$("$root/usr/bin/varnel-cli" --version)" = "varnel-cli $version" ] || fail "varnel-cli --version"
[ "$("$root/usr/bin/varnel" --version)" = "varnel $version" ] || fail "varnel --version"

# Every option of the editor's usage is in its page.
page="$(zcat "$root/usr/share/man/man1/varnel.1.gz" | sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g')"
for option in $("$root/usr/bin/varnel" --help | grep -oE -- '(^|[[:space:]])--?[a-z][a-z-]*'); do
  grep -qE -- "(^|[^a-z-])$option($|[^a-z-])" <<<"$page" || fail "varnel(1) lacks $option"
done

bash "$source_dir/tests/package/completion_test.sh" "$root/usr/bin" \
  "$root/usr/share/bash-completion/completions/varnel-cli" || fail "bash completion"
echo "package ok: $(basename "$deb")"
