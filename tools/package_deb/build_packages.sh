#!/usr/bin/env bash
# build_packages.sh: the source package and the binary packages (tirvex, tirvex-data and the
# debug symbols), built by dpkg-buildpackage from the upstream release tarball and debian/.
#
#   build_packages.sh SOURCE_DIR WORK_DIR OUT_DIR [dpkg-buildpackage options ...]
#
# The package is not native: its upstream part is the release tarball that release_tarball.sh
# makes of the tree (tirvex-VERSION.tar.xz, here named tirvex_VERSION.orig.tar.xz) and its
# Debian part is debian/, which dpkg-source packs as the .debian.tar.xz. debian/changelog's
# version must be VERSION-REVISION with VERSION the tree's own (CMakeLists.txt), so the two can
# never drift apart. WORK_DIR is emptied and holds the tarball unpacked, tirvex-VERSION, with
# debian/ added, while it builds, so the source tree gets no build folder; debian/ is taken as
# the tarball's files are (the files git knows or would add, in a git checkout). The .changes and
# every file it names are moved to OUT_DIR, and the .changes' path is printed.
# make deb, make reproducible-check and the packaging test run it.
set -euo pipefail
if [ $# -lt 3 ]; then
    echo "usage: build_packages.sh SOURCE_DIR WORK_DIR OUT_DIR [dpkg-buildpackage options ...]" >&2
    exit 2
fi
source_dir=$(cd "$1" && pwd)
mkdir -p "$2" "$3"
work=$(cd "$2" && pwd)
out=$(cd "$3" && pwd)
shift 3
if [ ! -f "$source_dir/debian/changelog" ]; then
    echo "build_packages.sh: $source_dir has no debian/changelog (a release tarball carries no" \
        "debian/): build the packages from the checkout" >&2
    exit 1
fi
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -SVersion)
upstream=${version%-*}
tree_version=$(sed -n 's/^project(tirvex VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$source_dir/CMakeLists.txt")
if [ "$version" = "$upstream" ] || [ "$upstream" != "$tree_version" ]; then
    echo "build_packages.sh: debian/changelog's version $version is not $tree_version-REVISION," \
        "the tree's version (CMakeLists.txt) with a Debian revision" >&2
    exit 1
fi
tree="$work/tirvex-$upstream"

rm -rf "${work:?}"/*
tarball=$(bash "$(dirname "$0")/release_tarball.sh" "$source_dir" "$work")
mv "$tarball" "$work/tirvex_$upstream.orig.tar.xz"
tar -C "$work" -xf "$work/tirvex_$upstream.orig.tar.xz"
[ -d "$tree" ] || { echo "build_packages.sh: the release tarball holds no tirvex-$upstream/" >&2; exit 1; }
if git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null | grep -qxF "$source_dir"; then
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard debian |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    (cd "$source_dir" && tar -cf - debian) | tar -C "$tree" -xf -
fi
# The .debian.tar.xz keeps the modes: make them the same whatever the umask of the clone or now.
chmod -R u=rwX,go=rX "$tree/debian"

(cd "$tree" && dpkg-buildpackage -us -uc "$@") >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    echo "build_packages.sh: dpkg-buildpackage failed; the whole log is $work/build.log" >&2
    exit 1
}
changes=$(ls "$work"/tirvex_"$version"_*.changes)
files=$(sed -n '/^Files:/,/^[^ ]/{s/^ [0-9a-f]\{32\} [0-9]* [^ ]* [^ ]* //p}' "$changes")
for f in $files; do mv "$work/$f" "$out/"; done
mv "$changes" "$out/"
echo "$out/$(basename "$changes")"
