#!/usr/bin/env bash
# make_deb.sh: packs an installed tree (DESTDIR of an install under /usr) into a Debian package
# with Debian's own tools: dpkg-shlibdeps finds the runtime libraries, dpkg-deb builds it.
#
#   make_deb.sh ROOT OUTDIR VERSION
#
# ROOT is changed in place: binaries stripped, the documentation added, the modes made
# regular, DEBIAN/ written. Prints the path of the package.
set -euo pipefail
root=$(cd "$1" && pwd) out=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
[ -x "$root/usr/games/tirvex" ] || { echo "make_deb.sh: no usr/games/tirvex in $root" >&2; exit 1; }

for f in "$root"/usr/games/*; do
    strip --remove-section=.comment --remove-section=.note --strip-unneeded "$f"
done
doc="$root/usr/share/doc/tirvex"
mkdir -p "$doc"
cp "$here/copyright" "$doc/copyright"
gzip -9n <"$here/changelog" >"$doc/changelog.gz"

# dpkg-shlibdeps reads debian/control of the folder it runs in; a scratch one serves.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: tirvex\n\nPackage: tirvex\nArchitecture: any\n' >"$work/debian/control"
binaries=("$root"/usr/games/*)
depends=$(cd "$work" && dpkg-shlibdeps -O "${binaries[@]}" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make_deb.sh: dpkg-shlibdeps found no libraries" >&2; exit 1; }

find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root"/usr/games/*
rm -rf "$root/DEBIAN"
mkdir -p "$root/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    -e "s/@DEPENDS@/$depends/" "$here/control.in" >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -exec md5sum {} + | sort -k 2) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p "$out"
package="$out/tirvex_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package"
