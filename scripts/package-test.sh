#!/usr/bin/env bash
# Builds the .deb, checks it with lintian, installs it, runs one job with the installed FendralWin
# on a virtual display (started by its desktop entry's command, in a folder holding the installed
# samples; the installed Fendral does the work) and removes the package again. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
installed_packages() { dpkg-query -W -f '${Package} ${Version} ${db:Status-Abbrev}\n'; }

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target installable
rm -f build/release/fendralwin_*.deb
cpack --preset release >/dev/null
deb=$(echo build/release/fendralwin_*.deb)
echo "Built $deb"

echo "== lintian (fails on errors)"
lintian --display-info "$deb" 2> >(grep -v 'running with root privileges' >&2)

if dpkg-query -W -f '${Status}' fendralwin 2>/dev/null | grep -q "install ok installed"; then
    echo "fendralwin is installed already: this check installs and removes it itself." >&2
    exit 1
fi
work=$(mktemp -d)
before="$work/packages-before"
installed_packages >"$before"
trap 'as_root apt-get purge -y -qq fendralwin >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
as_root env DEBIAN_FRONTEND=noninteractive DEBCONF_NOWARNINGS=yes apt-get install -y -qq --no-install-recommends \
    "$PWD/$deb" >/dev/null

echo "== The installed files"
desktop=/usr/share/applications/org.fendralwin.FendralWin.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net /usr/share/metainfo/org.fendralwin.FendralWin.metainfo.xml
# Every installed file that names the release names the project's version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
zcat /usr/share/man/man1/FendralWin.1.gz | head -n 1 | grep -F "\"FendralWin $version\""
zcat /usr/share/man/man1/Fendral.1.gz | head -n 1 | grep -F "\"Fendral $version\""
zcat /usr/share/doc/fendralwin/changelog.Debian.gz | head -n 1 | grep -F "($version-1)"
grep -F "<release version=\"$version\"" /usr/share/metainfo/org.fendralwin.FendralWin.metainfo.xml
[ "$(dpkg-query -W -f '${Version}' fendralwin)" = "$version-1" ]
Fendral --version | grep -F "$version"
command=$(sed -n 's/^Exec=//p' "$desktop")
[ "$(command -v "${command%% *}")" = /usr/bin/FendralWin ]
FendralWin --version | grep -Fx "FendralWin $version"
FendralWin --help | grep -F "Usage: FendralWin [FILE | FOLDER]"

echo "== Open With: the desktop offers FendralWin for TIFF images"
gio mime image/tiff | grep -F org.fendralwin.FendralWin.desktop

echo "== One job with the installed program"
mkdir "$work/job"
cp /usr/share/fendralwin/sample-*.tif "$work/job/"
xvfb-run -a -s "-screen 0 1024x640x24" \
    scripts/demo.sh "$command" "$work/job" build/package-test
# The window's default settings are Radius 1 and MaxDiff 10.
Fendral 1 10 "$work/job/sample-rgb.tif" "$work/expected.tif"
cmp "$work/job/demo-smoothed.tif" "$work/expected.tif"
cp "$work/job/demo-smoothed.tif" build/package-test/

echo "== A file opened with the installed program through its desktop entry is chosen"
# The first sample, which the job above did not pick, given as a file manager gives it.
opened=$(find "$work/job" -name 'sample-*.tif' | sort | head -n 1)
xvfb-run -a -s "-screen 0 1024x640x24" \
    scripts/demo.sh "$command" "$work/job" build/package-test/open-with "$opened"
Fendral 1 10 "$opened" "$work/expected.tif"
cmp "$work/job/demo-smoothed.tif" "$work/expected.tif"

echo "== Removal"
as_root apt-get purge -y -qq fendralwin >/dev/null
[ ! -e /usr/bin/FendralWin ] && [ ! -e /usr/lib/fendralwin ]
installed_packages | diff "$before" - || {
    echo "Installing and removing the package changed the installed packages." >&2
    exit 1
}
echo "Package check passed: built, installed, ran a job, opened a file through the desktop entry, removed."
