# installed_desktop_files.sh: an install under /usr in a temporary root puts the icon in the icon
# theme at 16, 24, 32, 48, 64, 128 and 256 pixels (RGBA PNGs of those sizes) and as SVG (a
# well-formed picture of the painted shapes on a 256-unit square, which drawn is the 256 pixel
# icon), desktop entries and metainfo that desktop-file-validate and appstreamcli validate
# pass, and manual pages whose options are their programs' --help options and which name the
# other four pages.
source "$(dirname "$0")/lib/harness.bash"
fail() { e2e_fail "$*"; }
build="$1/.."
E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/tirvex-e2e.XXXXXX")"
trap e2e_cleanup EXIT
root="$E2E_TMP/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -n 5 "$E2E_TMP/install.log")"
icons="$root/usr/share/icons/hicolor"

for size in 16 24 32 48 64 128 256; do
    png="$icons/${size}x${size}/apps/tirvex.png"
    [ -f "$png" ] || fail "no $size pixel icon"
    # The PNG header: width and height at bytes 16 and 20, colour type 6 (RGBA) at byte 25.
    read -r w h kind < <(python3 -c '
import struct, sys
d = open(sys.argv[1], "rb").read(26)
print(*struct.unpack(">II", d[16:24]), d[25])' "$png")
    [ "$w $h $kind" = "$size $size 6" ] || fail "the $size pixel icon is ${w}x$h, colour type $kind"
done

svg="$icons/scalable/apps/tirvex.svg"
[ -f "$svg" ] || fail "no scalable icon"
python3 - "$svg" <<'PY' || fail "the scalable icon is not the painted shapes"
import sys
import xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
ns = "{http://www.w3.org/2000/svg}"
assert root.tag == ns + "svg", root.tag
assert root.get("viewBox") == "0 0 256 256", root.get("viewBox")
shapes = [e for e in root.iter() if e.tag in (ns + "rect", ns + "ellipse", ns + "polygon", ns + "path")]
# The block's faces, the robot's parts and the sweet: some twenty shapes, none a bitmap.
assert len(shapes) >= 20 and not list(root.iter(ns + "image")), len(shapes)
PY
# Drawn, the SVG's shapes are the painted icon: the same colours wherever both are solid (a
# gradient turned over or a shape out of place would differ there), nothing where the painted
# one is bare.
read -r covered difference outside < <(python3 "$(dirname "$0")/lib/svg_icon.py" "$svg" \
    "$icons/256x256/apps/tirvex.png") || fail "the scalable icon could not be drawn"
[ "$covered" -gt 15000 ] && awk -v d="$difference" 'BEGIN { exit !(d < 2) }' && [ "$outside" -lt 64 ] ||
    fail "the scalable icon is not the painted one: $covered pixels alike in place, mean difference $difference, $outside drawn where the painted icon is bare"

for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "$(basename "$entry") is invalid"
done
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml) || fail "no metainfo installed"
appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/as.log" 2>&1 ||
    fail "appstreamcli refuses the metainfo: $(cat "$E2E_TMP/as.log")"
e2e_log "icons at 7 sizes and as SVG; desktop entries and metainfo valid"
# A page's options, one dash or two, are those of the .TP and .TQ heads of its OPTIONS section.
pages="tirvex tirvex-check tirvex-edit tirvex-generate tirvex-preview"
for page in $pages; do
    text=$(zcat "$root/usr/share/man/man6/$page.6.gz" | sed 's/\\-/-/g') || fail "no manual page $page"
    listed=$(awk '/^\.SH OPTIONS/ { o = 1; next } /^\.SH/ { o = 0 }
        o && (p == ".TP" || p == ".TQ") { print } { p = $0 }' <<<"$text" |
        grep -o ' --\?[a-z][a-z-]*' | sed 's/^ --\?//' | sort)
    helped=$("$root/usr/games/$page" --help | sed -n 's/^  --\([a-z-]*\).*/\1/p' | sort)
    [ "$listed" = "$helped" ] || fail "$page(6) and $page --help differ: $(diff <(echo "$listed") \
        <(echo "$helped") | grep '^[<>]' | tr '\n' ' ')"
    for other in $pages; do
        [ "$other" = "$page" ] || sed -n '/^\.SH SEE ALSO/,$p' <<<"$text" | grep -q "^\.BR $other (6)" ||
            fail "$page(6) does not name $other(6) under SEE ALSO"
    done
done
e2e_log "manual pages list their programs' options and name each other"
