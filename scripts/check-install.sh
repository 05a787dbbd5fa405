#!/usr/bin/env bash
# Checks the installation of a build (default: build/): installs it into a
# temporary tree, checks that every file of the desktop integration is there
# and passes its validator, runs the installed program from a folder outside
# the checkout without any display (--version, --help naming its installed
# manual, a batch run of an installed example and of a derivative), and makes
# the Debian package and checks that its dependencies were found.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
id=cz.korvalinth.Korvalinth

root=$(mktemp -d "${TMPDIR:-/tmp}/kv-install.XXXXXX")
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/dest/usr"

fail() { echo "check-install: $*" >&2; exit 1; }

for f in bin/korvalinth \
         share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/mime/packages/$id.xml \
         share/man/man1/korvalinth.1 \
         share/korvalinth/help/help.htm \
         share/korvalinth/examples/intro.kvl; do
  [ -f "$usr/$f" ] || fail "missing from the installed tree: $f"
done

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net --explain "$usr/share/metainfo/$id.metainfo.xml"
xmllint --noout "$usr/share/icons/hicolor/scalable/apps/$id.svg"
xmllint --noout "$usr/share/mime/packages/$id.xml"
# The MIME database built from the package knows the glob and the magic.
update-mime-database "$usr/share/mime" 2>/dev/null
[ -f "$usr/share/mime/application/x-korvalinth.xml" ] || fail "MIME type not registered"
grep -q 'application/x-korvalinth:\*\.kvl' "$usr/share/mime/globs2" || fail "no *.kvl glob"
grep -aq '#KORVALINTH15FILEFORMAT#' "$usr/share/mime/magic" || fail "no magic"
# The man page formats without warnings.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/korvalinth.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"

# The installed program, run from elsewhere, with no display.
work="$root/work"
mkdir "$work"
cd "$work"
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/korvalinth" "$@"; }
version=$(run --version)
[ "$version" = "Korvalinth $(sed -n 's/.*kVersion = "\(.*\)";/\1/p' "$build/generated/app/Version.h")" ] \
  || fail "--version printed: $version"
run --help | grep -qxF "Příručka: $usr/share/korvalinth/help/help.htm" || fail "--help does not name the installed manual"
run --help | grep -qxF "Příklady: $usr/share/korvalinth/examples" || fail "--help does not name the installed examples"
run --batch "$usr/share/korvalinth/examples/intro.kvl" >intro.txt || fail "the installed example failed"
grep -q '^>> ' intro.txt || fail "the installed example printed no transcript"
derivative=$(printf 'derivate(sin(x)^2,x)\n' | run --batch -)
expected=$'>> derivate(sin(x)^2,x)\n   2*sin(x)*cos(x)'
[ "$derivative" = "$expected" ] || fail "derivative printed: $derivative"

# The Debian package, its dependencies found by dpkg-shlibdeps.
cd "$build"
cpack -G DEB -B "$root/package" >/dev/null
deb=$(ls "$root"/package/korvalinth_*.deb)
dpkg-deb -I "$deb" | tee "$root/control" | grep -E '^ (Package|Version|Depends):'
grep -q '^ Depends: .*libqt6core6' "$root/control" || fail "the package lists no Qt dependency"
echo "check-install: the installed tree and the package are sound"
