# release_tarball.sh: make dist's release tarball, tirvex-VERSION.tar.xz, comes out the same to
# the byte from two runs under another time zone and umask and from its own unpacked tree (which
# has no .git); it holds exactly the files git knows or would add (debian/ left out) and the
# source date file, under tirvex-VERSION/ with VERSION the CMake project's, each directory's
# names in order, every entry dated the last commit and owned by 0; unpacked, it configures with
# that date although no git is there. The packages' build refuses, with a message, that tree
# alone (it has no debian/) and a debian/changelog whose version is not the tree's own with a
# Debian revision.
set -u
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
log() { echo "[release_tarball] $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tirvex-dist.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
make_tarball=$source_dir/tools/package_deb/release_tarball.sh

version=$(sed -n 's/^project(tirvex VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$version" ] || fail "CMakeLists.txt gives no project version"
tarball=$(bash "$make_tarball" "$source_dir" "$tmp/one") || fail "the tarball could not be made"
[ "$tarball" = "$tmp/one/tirvex-$version.tar.xz" ] || fail "the tarball is $tarball, not tirvex-$version.tar.xz"
(cd "$tmp" && umask 002 && TZ=Pacific/Kiritimati bash "$make_tarball" "$source_dir" two >/dev/null) ||
    fail "the second tarball could not be made"
cmp -s "$tarball" "$tmp/two/tirvex-$version.tar.xz" ||
    fail "two runs under another time zone and umask made different tarballs"

# The names, owners and dates, listed in the archive's own order.
LC_ALL=C TZ=UTC tar --numeric-owner --full-time -tvJf "$tarball" >"$tmp/listing" || fail "tar cannot list it"
names=$(awk '{ print $6 }' "$tmp/listing")
outside=$(grep -v "^tirvex-$version/" <<<"$names")
[ -z "$outside" ] || fail "entries outside tirvex-$version/: $outside"
owners=$(awk '$2 != "0/0" { print $6 }' "$tmp/listing")
[ -z "$owners" ] || fail "entries not owned by 0/0: $(head -n 3 <<<"$owners")"
epoch=$(tar -xOJf "$tarball" "tirvex-$version/cmake/source_date_epoch.txt") ||
    fail "no cmake/source_date_epoch.txt in the tarball"
if git -C "$source_dir" rev-parse 2>/dev/null; then
    [ "$epoch" = "$(git -C "$source_dir" log -1 --format=%ct)" ] ||
        fail "the tarball is dated $epoch, not by the last commit"
fi
stamp=$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
dated=$(awk -v s="$stamp" '$4 " " $5 != s { print $6 }' "$tmp/listing")
[ -z "$dated" ] || fail "entries not dated $stamp: $(head -n 3 <<<"$dated")"
# tar sorts each directory's entries by name: siblings must come in byte order.
unsorted=$(awk '{ path = $6; sub(/\/$/, "", path); parent = path; sub(/\/[^\/]*$/, "", parent)
                  if ((parent in last) && last[parent] >= path) print path; last[parent] = path }' "$tmp/listing")
[ -z "$unsorted" ] || fail "entries out of order: $(head -n 3 <<<"$unsorted")"

files=$(sed -n "s|^tirvex-$version/||p" <<<"$names" | grep -v '/$\|^$' | LC_ALL=C sort)
grep -q '^debian/' <<<"$files" && fail "the tarball holds debian/"
grep -q '^build' <<<"$files" && fail "the tarball holds a build folder"
if git -C "$source_dir" rev-parse 2>/dev/null; then
    expected=$( { cd "$source_dir" && git ls-files --cached --others --exclude-standard |
        while IFS= read -r f; do [ -e "$f" ] && echo "$f"; done | grep -v '^debian/'
        echo cmake/source_date_epoch.txt; } | LC_ALL=C sort -u)
    [ "$files" = "$expected" ] ||
        fail "the tarball's files are not git's: $(diff <(echo "$expected") <(echo "$files") | head -n 10)"
fi

# Unpacked where no git is, it makes the same tarball again and configures dated by its file.
mkdir "$tmp/fresh"
tar -C "$tmp/fresh" -xJf "$tarball" || fail "the tarball does not unpack"
unpacked=$tmp/fresh/tirvex-$version
bash "$make_tarball" "$unpacked" "$tmp/again" >/dev/null || fail "the unpacked tree makes no tarball"
cmp -s "$tarball" "$tmp/again/tirvex-$version.tar.xz" || fail "the unpacked tree makes another tarball"
(cd "$tmp" && env -u SOURCE_DATE_EPOCH GIT_CEILING_DIRECTORIES="$tmp" \
    cmake -S "$unpacked" -B "$tmp/build" -DTIRVEX_TESTS=OFF >"$tmp/configure.log" 2>&1) ||
    fail "the unpacked tarball does not configure: $(tail -n 20 "$tmp/configure.log")"
grep -qF "Source date: $epoch (cmake/source_date_epoch.txt)" "$tmp/configure.log" ||
    fail "the unpacked tarball is not dated by its file: $(grep -i 'date' "$tmp/configure.log")"

# debian/changelog: the tree's version with a Debian revision, or the build stops at once.
if command -v dpkg-parsechangelog >/dev/null && [ -d "$source_dir/debian" ]; then
    packaged=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -SVersion)
    [ "${packaged%-*}" = "$version" ] && [ "$packaged" != "$version" ] ||
        fail "debian/changelog's version $packaged is not $version-REVISION"
    # The tarball alone has no debian/: said so, rather than dpkg's word about a missing file.
    bash "$source_dir/tools/package_deb/build_packages.sh" "$unpacked" "$tmp/work" "$tmp/out" \
        >/dev/null 2>"$tmp/refused.log" && fail "packages were built from a tree without debian/"
    grep -qF "$unpacked has no debian/changelog" "$tmp/refused.log" ||
        fail "no message for a tree without debian/: $(cat "$tmp/refused.log")"
    cp -r "$source_dir/debian" "$unpacked/debian"
    for wrong in 9.9-1 "$version"; do
        sed -i "1s/([^)]*)/($wrong)/" "$unpacked/debian/changelog"
        bash "$source_dir/tools/package_deb/build_packages.sh" "$unpacked" "$tmp/work" "$tmp/out" \
            >/dev/null 2>"$tmp/refused.log" && fail "a package of version $wrong was built from $version"
        grep -qF "debian/changelog's version $wrong is not $version-REVISION" "$tmp/refused.log" ||
            fail "no message for version $wrong: $(cat "$tmp/refused.log")"
    done
fi
log "ok: $(stat -c %s "$tarball") bytes, $(wc -l <<<"$files") files, dated $stamp"
