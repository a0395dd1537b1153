# deb_package.sh: the Debian packages that dpkg-buildpackage makes of this tree: tirvex and
# tirvex-data hold between them exactly the files the install rules put there (found by an
# install of the test build, split by debian/*.install), besides their documents; tirvex
# depends on the data of its own version and on runtime libraries only; lintian finds no error
# and no warning in the .changes (source and binaries); the game without a display ends with the
# status its manual page gives. As root in CI (a throwaway machine) both are installed with apt
# and removed again, leaving nothing. make install and make uninstall leave nothing behind.
# Skipped where dpkg-buildpackage is missing. The packages are built without their tests (make
# test and make check-release run them) and kept in the build folder, built again only when a
# source file changed.
set -u
game="$1"
build=$(cd "$game/.." && pwd)
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
log() { echo "[deb_package] $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }
command -v dpkg-buildpackage >/dev/null || { log "no dpkg-buildpackage: skipped"; exit 0; }
(cd "$source_dir" && dpkg-checkbuilddeps -Pnocheck) ||
    fail "the Makefile's package lists miss a build dependency of debian/control"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tirvex-deb.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -SVersion)
arch=$(dpkg --print-architecture)
packages="$build/deb-test/packages"
changes="$packages/tirvex_${version}_$arch.changes"
newer=""
[ -f "$changes" ] && newer=$(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ "$f" -nt "$changes" ] && { echo "$f"; break; }; done)
if [ ! -f "$changes" ] || [ -n "$newer" ] || ! git -C "$source_dir" rev-parse 2>/dev/null; then
    rm -rf "$packages"
    DEB_BUILD_OPTIONS="nocheck parallel=2" bash "$source_dir/tools/package_deb/build_packages.sh" \
        "$source_dir" "$build/deb-test/work" "$packages" >/dev/null || fail "dpkg-buildpackage failed"
    rm -rf "$build/deb-test/work"
else
    log "the packages of $(basename "$changes") are newer than every source file: reused"
fi
deb="$packages/tirvex_${version}_$arch.deb"
data_deb="$packages/tirvex-data_${version}_all.deb"
for f in "$deb" "$data_deb" "$packages/tirvex-dbgsym_${version}_$arch.deb" "$packages/tirvex_$version.dsc"; do
    [ -f "$f" ] || fail "dpkg-buildpackage made no $(basename "$f")"
done

# What the install rules put there, each file in the package whose debian/*.install names it.
DESTDIR="$tmp/staged" cmake --install "$build" --prefix /usr >/dev/null || fail "install failed"
installed=$(cd "$tmp/staged" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ -n "$installed" ] || fail "the install rules install nothing"
expected_files() {  # PACKAGE: the installed files under the paths of debian/PACKAGE.install
    local path
    while read -r path; do
        [ -n "$path" ] && grep "^$path/" <<<"$installed"
    done <"$source_dir/debian/$1.install"
}
# PACKAGE [FILE ...]: its doc folder's copyright, the Debian changelog, the upstream one (NEWS)
# and the given documents, and its lintian overrides where debian/ has them.
documents() {
    local package=$1 f
    shift
    printf 'usr/share/doc/%s/%s\n' "$package" copyright "$package" changelog.Debian "$package" changelog
    [ -f "$source_dir/debian/$package.lintian-overrides" ] &&
        echo "usr/share/lintian/overrides/$package"
    for f in "$@"; do
        if [ -d "$source_dir/$f" ]; then
            (cd "$source_dir" && find "$f" -type f) | sed "s|^|usr/share/doc/$package/|"
        else echo "usr/share/doc/$package/$f"; fi
    done
}
# dh_compress chooses which documents to compress: names are compared without .gz.
contents() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); sub(/\.gz$/, "", $6); print $6 }' | LC_ALL=C sort; }
for package in tirvex tirvex-data; do
    file="$packages/${package}_${version}_$arch.deb"
    docs=()
    [ "$package" = tirvex-data ] && file=$data_deb
    [ "$package" = tirvex ] && mapfile -t docs <"$source_dir/debian/tirvex.docs"
    # The README's picture beside it, where its link points; no other of screenshots/.
    [ "$package" = tirvex ] && docs+=(screenshots/tirvex.png)
    expected=$( { expected_files "$package" | sed 's/\.gz$//'; documents "$package" "${docs[@]}"; } | LC_ALL=C sort)
    actual=$(contents "$file")
    [ "$actual" = "$expected" ] ||
        fail "$package holds other files than the install rules give: $(diff <(echo "$expected") <(echo "$actual"))"
    dpkg-deb -c "$file" | awk '{ print $2 }' | grep -qv '^root/root$' && fail "$package has files not owned by root"
done
unclaimed=$(comm -23 <(echo "$installed") <( { expected_files tirvex; expected_files tirvex-data; } | LC_ALL=C sort))
[ -z "$unclaimed" ] || fail "installed files in neither package: $unclaimed"

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *"tirvex-data (= $version)"*) ;; *) fail "tirvex does not depend on its own data: $depends" ;; esac
case "$depends" in *liballegro4.4*) ;; *) fail "Depends lacks the game library: $depends" ;; esac
case "$depends" in *-dev*) fail "Depends names a development package: $depends" ;; esac
[ "$(dpkg-deb -f "$data_deb" Architecture)" = all ] || fail "tirvex-data is not Architecture: all"

if command -v lintian >/dev/null; then
    lintian --info --pedantic "$changes" >"$tmp/lintian.log" 2>&1
    grep -E '^[EW]: ' "$tmp/lintian.log" && fail "lintian reports errors or warnings"
    log "lintian: $(grep -c '^[IP]: ' "$tmp/lintian.log") info and pedantic tags, no error or warning"
fi
for size in 128 256; do
    file "$tmp/staged/usr/share/icons/hicolor/${size}x${size}/apps/tirvex.png" |
        grep -q "PNG image data, $size x $size" || fail "the $size pixel icon is not a $size x $size PNG"
done
if command -v desktop-file-validate >/dev/null; then
    for entry in "$tmp"/staged/usr/share/applications/*.desktop; do
        desktop-file-validate "$entry" || fail "$(basename "$entry") is invalid"
    done
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$tmp"/staged/usr/share/metainfo/*.xml >"$tmp/as.log" 2>&1 ||
        fail "the metainfo is invalid: $(cat "$tmp/as.log")"
fi

# The packaged game without a display: the status and the message its manual page gives.
dpkg-deb -x "$deb" "$tmp/unpacked"
(cd "$tmp" && env -u DISPLAY "$tmp/unpacked/usr/games/tirvex" >out.txt 2>err.txt </dev/null)
status=$?
[ "$status" = 1 ] || fail "without a display the game ends with status $status, not 1"
grep -q "no display" "$tmp/err.txt" || fail "without a display the game does not say so: $(cat "$tmp/err.txt")"
zcat "$tmp/unpacked/usr/share/man/man6/tirvex.6.gz" | sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' |
    grep -q "no display" || fail "the manual page's exit statuses do not give the game without a display"

if [ "$(id -u)" = 0 ] && [ "${CI:-}" = true ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" "$data_deb" >"$tmp/apt.log" 2>&1 ||
        fail "apt-get install failed: $(tail -n 5 "$tmp/apt.log")"
    owned=$(dpkg -L tirvex tirvex-data | grep -v '^/\.$')
    /usr/games/tirvex --version | grep -qF "${version%-*}" || fail "the installed game is not version ${version%-*}"
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq tirvex tirvex-data >>"$tmp/apt.log" 2>&1 ||
        fail "apt-get remove failed: $(tail -n 5 "$tmp/apt.log")"
    left=$(while read -r f; do [ -f "$f" ] || [ -L "$f" ] && echo "$f"; done <<<"$owned")
    [ -z "$left" ] || fail "apt-get remove left: $left"
    [ ! -e /usr/share/games/tirvex ] || fail "apt-get remove left /usr/share/games/tirvex"
    log "installed with apt and removed again"
fi

# make install and make uninstall into a scratch DESTDIR leave nothing behind; the build's
# prefix is given at install time so the build the other tests run is not reconfigured.
make -s -C "$source_dir" BUILD="$build" PREFIX=/usr DESTDIR="$tmp/staged" uninstall >/dev/null ||
    fail "make uninstall failed"
left=$(find "$tmp/staged" -type f)
[ -z "$left" ] || fail "make uninstall left: $left"
[ ! -e "$tmp/staged/usr/share/games/tirvex" ] || fail "make uninstall left the data folder"
log "ok: $(stat -c %s "$deb") + $(stat -c %s "$data_deb") bytes, Depends: $depends"
