#!/usr/bin/env bash
# release_tarball.sh: the upstream release tarball, tirvex-VERSION.tar.xz, made from the tree.
#
#   release_tarball.sh SOURCE_DIR OUT_DIR
#
# VERSION is the CMake project's version (CMakeLists.txt), the one place it is written. In a git
# checkout the tarball holds the files git knows or would add (the .gitignore'd build folders
# left out) as they are in the working tree, so a change not yet committed can be packaged and
# tried; a release is made from a clean checkout. Elsewhere, in an unpacked release tarball or
# source package, it holds the tree without its build folders (and quilt's .pc). debian/ is left
# out: the Debian packaging is no part of the upstream release and travels in the source
# package's own debian.tar.xz.
#
# The same files give the same bytes wherever, whenever and under whatever umask they are
# packed: names sorted, every entry dated the last commit (SOURCE_DATE_EPOCH), owner and group 0,
# modes u=rw(x),go=r(x), GNU tar headers (no pax times) and single-threaded xz. The tarball has
# no .git, so the date is also written into it as cmake/source_date_epoch.txt, which the build
# reads (cmake/source_date.cmake) where git gives none. The tarball's path is printed.
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: release_tarball.sh SOURCE_DIR OUT_DIR" >&2
    exit 2
fi
source_dir=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
fail() { echo "release_tarball.sh: $*" >&2; exit 1; }

version=$(sed -n 's/^project(tirvex VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$version" ] || fail "$source_dir/CMakeLists.txt gives no 'project(tirvex VERSION ...)'"
epoch_file=cmake/source_date_epoch.txt

in_git=false
if git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null | grep -qxF "$source_dir"; then
    in_git=true
    epoch=$(git -C "$source_dir" log -1 --format=%ct)
elif [ -f "$source_dir/$epoch_file" ]; then
    epoch=$(head -n 1 "$source_dir/$epoch_file")
else
    fail "$source_dir is neither a git checkout nor an unpacked release tarball (no $epoch_file)"
fi
[[ "$epoch" =~ ^[0-9]+$ ]] || fail "the source date '$epoch' is not a number of seconds"

stage=$(mktemp -d "${TMPDIR:-/tmp}/tirvex-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
tree="$stage/tirvex-$version"
mkdir "$tree"
if $in_git; then
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do
            case "$f" in debian/*) continue ;; esac
            [ -e "$f" ] && printf '%s\0' "$f"
        done | tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    (cd "$source_dir" && tar --exclude=./.git --exclude=./debian --exclude=./.pc --exclude='./build' \
        --exclude='./build-*' --exclude='./obj-*' -cf - .) | tar -C "$tree" -xf -
fi
echo "$epoch" >"$tree/$epoch_file"
chmod -R u=rwX,go=rX "$tree"

tarball="$out/tirvex-$version.tar.xz"
(cd "$stage" && LC_ALL=C tar --sort=name --format=gnu --mtime="@$epoch" --owner=0 --group=0 \
    --numeric-owner -cf - "tirvex-$version") | xz -6 -T1 -c >"$tarball.tmp"
mv "$tarball.tmp" "$tarball"
echo "$tarball"
