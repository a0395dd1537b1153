#!/usr/bin/env bash
# build_packages.sh: the source package and the binary packages (tirvex, tirvex-data and the
# debug symbols), built by dpkg-buildpackage from a clean copy of the source tree.
#
#   build_packages.sh SOURCE_DIR WORK_DIR OUT_DIR [dpkg-buildpackage options ...]
#
# WORK_DIR is emptied and holds the copy, tirvex-VERSION, while it builds, so the source tree
# gets no build folder; in a git checkout the copy is the files git knows or would add (the
# .gitignore'd build folders left out), elsewhere the tree without its build folders. The
# .changes and every file it names are moved to OUT_DIR, and the .changes' path is printed.
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
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -SVersion)
tree="$work/tirvex-$version"

rm -rf "${work:?}"/* && mkdir "$tree"
if git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null | grep -qxF "$source_dir"; then
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    (cd "$source_dir" && tar --exclude='./build' --exclude='./build-*' --exclude='./obj-*' -cf - .) |
        tar -C "$tree" -xf -
fi
# The source tarball keeps the modes: make them the same whatever the umask of the clone or now.
chmod -R u=rwX,go=rX "$tree"

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
