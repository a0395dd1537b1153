# deb_package.sh: the installed game packed as a Debian package holds exactly the expected
# files, depends on runtime libraries only and passes lintian without errors; the desktop
# entry and the metainfo validate; make uninstall removes every file make install put there.
# Skipped where dpkg-deb is missing.
set -u
game="$1"
build="$game/.."
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
log() { echo "[deb_package] $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }
command -v dpkg-deb >/dev/null || { log "no dpkg-deb: skipped"; exit 0; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tirvex-deb.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >/dev/null || fail "install failed"
package=$(bash "$source_dir/tools/package_deb/make_deb.sh" "$tmp/root" "$tmp" 1.2) ||
    fail "the package was not built"

expected=$( {
    printf '%s\n' usr/games/tirvex usr/games/tirvex-check usr/games/tirvex-edit usr/games/tirvex-preview \
        usr/share/applications/tirvex.desktop usr/share/doc/tirvex/changelog.gz \
        usr/share/doc/tirvex/copyright usr/share/games/tirvex/data/pz.dat \
        usr/share/icons/hicolor/128x128/apps/tirvex.png usr/share/icons/hicolor/256x256/apps/tirvex.png \
        usr/share/man/man6/tirvex.6.gz usr/share/man/man6/tirvex-check.6.gz usr/share/man/man6/tirvex-edit.6.gz \
        usr/share/man/man6/tirvex-preview.6.gz usr/share/metainfo/invalid.tirvex.Tirvex.metainfo.xml
    for m in robot robcr robst mibo chicken sweet jar bomb end; do echo "usr/share/games/tirvex/bsp/$m.bsp"; done
    for n in $(seq -w 1 19); do echo "usr/share/games/tirvex/maps/map$n.txt"; done
    for n in $(seq -w 1 19); do echo "usr/share/games/tirvex/solutions/map$n.txt"; done
} | sort)
files=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
[ "$files" = "$expected" ] || fail "the package's files differ: $(diff <(echo "$expected") <(echo "$files"))"
dpkg-deb -c "$package" | awk '{ print $2 }' | grep -qv '^root/root$' && fail "files not owned by root"

depends=$(dpkg-deb -f "$package" Depends)
case "$depends" in *liballegro4.4*) ;; *) fail "Depends lacks the game library: $depends" ;; esac
case "$depends" in *-dev*) fail "Depends names a development package: $depends" ;; esac

for size in 128 256; do
    file "$tmp/root/usr/share/icons/hicolor/${size}x${size}/apps/tirvex.png" |
        grep -q "PNG image data, $size x $size" || fail "the $size pixel icon is not a $size x $size PNG"
done
if command -v lintian >/dev/null; then
    errors=$(lintian "$package" 2>/dev/null | grep '^E:')
    [ -z "$errors" ] || fail "lintian: $errors"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$source_dir/assets/install/tirvex.desktop" || fail "the desktop entry is invalid"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$source_dir/assets/install/invalid.tirvex.Tirvex.metainfo.xml" >"$tmp/as.log" 2>&1 ||
        fail "the metainfo is invalid: $(cat "$tmp/as.log")"
fi

# make install and make uninstall into a scratch DESTDIR leave nothing behind; the build's
# prefix is given at install time so the build the other tests run is not reconfigured.
DESTDIR="$tmp/staged" cmake --install "$build" --prefix /usr >/dev/null || fail "install failed"
[ "$(find "$tmp/staged" -type f | wc -l)" -eq 60 ] || fail "the install holds $(find "$tmp/staged" -type f | wc -l) files, not 60"
make -s -C "$source_dir" BUILD="$(cd "$build" && pwd)" PREFIX=/usr DESTDIR="$tmp/staged" uninstall >/dev/null ||
    fail "make uninstall failed"
left=$(find "$tmp/staged" -type f)
[ -z "$left" ] || fail "make uninstall left: $left"
[ ! -e "$tmp/staged/usr/share/games/tirvex" ] || fail "make uninstall left the data folder"
log "ok: $(stat -c %s "$package") bytes, Depends: $depends"
