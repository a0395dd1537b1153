#!/usr/bin/env bash
# make_deb.sh: packs an installed tree (DESTDIR of an install under /usr) into a Debian package
# with Debian's own tools: dpkg-shlibdeps finds the runtime libraries, dpkg-deb builds it.
#
#   make_deb.sh ROOT OUTDIR VERSION
#
# ROOT is changed in place: programs stripped, the copyright and changelog added, the modes made
# regular, DEBIAN/ written from control.in. Prints the path of OUTDIR/tirvex_VERSION_ARCH.deb.
set -euo pipefail
if [ $# -ne 3 ]; then
    echo "usage: make_deb.sh ROOT OUTDIR VERSION" >&2
    exit 2
fi
root=$(cd "$1" && pwd)
outdir=$(mkdir -p "$2" && cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
[ -x "$root/usr/games/tirvex" ] || { echo "make_deb.sh: no usr/games/tirvex in $root" >&2; exit 1; }

# The sources open with a comment line of their own, which the package does without.
drop_comment() { sed '1{/^#/d}' "$1"; }

rm -rf "$root/DEBIAN"
doc="$root/usr/share/doc/tirvex"
mkdir -p "$doc"
drop_comment "$here/copyright" >"$doc/copyright"
drop_comment "$here/changelog" | gzip -9n >"$doc/changelog.gz"

# Programs lose their symbols and build notes; everything else is data.
elves=()
while IFS= read -r -d '' f; do
    if [ "$(od -An -tx1 -N4 "$f" | tr -d ' ')" = 7f454c46 ]; then
        strip --remove-section=.comment --remove-section=.note --strip-unneeded "$f"
        elves+=("$f")
    fi
done < <(find "$root" -type f -print0)
[ "${#elves[@]}" -gt 0 ] || { echo "make_deb.sh: no program in $root" >&2; exit 1; }

find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "${elves[@]}"

# dpkg-shlibdeps reads the package names from a debian/control, so it runs beside a minimal one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/debian"
printf 'Source: tirvex\n\nPackage: tirvex\nArchitecture: any\n' >"$scratch/debian/control"
substvars=$(cd "$scratch" && dpkg-shlibdeps -O "${elves[@]/#/-e}" 2>"$scratch/shlibdeps.log") || {
    cat "$scratch/shlibdeps.log" >&2
    exit 1
}
depends=$(sed -n 's/^shlibs:Depends=//p' <<<"$substvars")
[ -n "$depends" ] || { echo "make_deb.sh: dpkg-shlibdeps found no dependency" >&2; exit 1; }

installed_size=$(du -sk --apparent-size "$root" | cut -f1)

mkdir "$root/DEBIAN"
drop_comment "$here/control.in" | sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" \
    -e "s/@SIZE@/$installed_size/" -e "s/@DEPENDS@/$depends/" >"$root/DEBIAN/control"
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
    xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb="$outdir/tirvex_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
