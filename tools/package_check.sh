#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds the Debian package, then
# checks what a desktop relies on: the desktop entry, metainfo and MIME package
# validate, the demo model is recognised as an MD2 model (by name and by its
# bytes), the icons have the sizes their folders claim, the user guide comes
# with every picture it shows, and the package holds the programs, the desktop
# files, the icon, the guide and Pelt's own phong and environment maps,
# depends on libzip and libpng, and has no maintainer scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
id=org.quillon.Pelt
md2_type=model/x-md2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/usr" >/dev/null
share=$scratch/usr/share
[ -x "$scratch/usr/bin/pelt" ] || fail "the desktop program was not built"

# The user guide, where Help/User Guide looks for it, with every picture it shows.
guide=$share/doc/pelt
[ -s "$guide/user-guide.html" ] || fail "the user guide was not installed"
for image in $(grep -o 'images/[^")]*\.png' "$guide/user-guide.md" | sort -u); do
  file -b "$guide/$image" | grep -q "^PNG image data" || fail "the guide's $image is missing"
  grep -q "\"$image\"" "$guide/user-guide.html" || fail "the HTML guide does not show $image"
done

desktop-file-validate "$share/applications/$id.desktop"
grep -qx "Exec=pelt -md2 %f" "$share/applications/$id.desktop" || fail "desktop entry Exec"
grep -qx "MimeType=$md2_type;" "$share/applications/$id.desktop" || fail "desktop entry MimeType"
appstreamcli validate --no-net --no-color "$share/metainfo/$id.metainfo.xml" >"$scratch/as.log" ||
  { cat "$scratch/as.log"; fail "metainfo"; }
xmllint --noout "$share/mime/packages/$id.xml" "$share/icons/hicolor/scalable/apps/$id.svg"
groff -man -ww -z "$share/man/man1/pelt-cli.1" 2>&1 | { ! grep .; } || fail "man page warnings"

for png in "$share"/icons/hicolor/*x*/apps/$id.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file -b "$png" | grep -q "PNG image data, ${size/x/ x }," || fail "$png is not $size"
done

# The MIME type as the desktop's lookup sees it, from the prefix alone.
export XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$scratch/home"
update-mime-database "$share/mime" 2>&1 | { ! grep .; } || fail "update-mime-database warned"
model=$("$build/pelt-cli" demo "$scratch/demo")
cp "$model" "$scratch/model-without-extension"
for f in "$model" "$scratch/model-without-extension"; do
  type=$(env -u XDG_CURRENT_DESKTOP xdg-mime query filetype "$f")
  [ "$type" = "$md2_type" ] || fail "$f is $type"
done
unset XDG_DATA_DIRS XDG_DATA_HOME

rm -f "$build"/pelt_*.deb
(cd "$build" && cpack -G DEB) >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(echo "$build"/pelt_*.deb)
[ -f "$deb" ] || fail "no package built"
dpkg-deb --info "$deb" >"$scratch/info"
grep -q "^ Package: pelt$" "$scratch/info" || fail "package name"
grep -q "^ Depends:.*libqt6widgets6" "$scratch/info" || fail "Qt runtime dependencies"
grep -q "^ Depends:.*libzip4" "$scratch/info" || fail "libzip dependency"
grep -q "^ Depends:.*libpng16-16" "$scratch/info" || fail "libpng dependency"
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr '\n' ' ')" = "./control ./md5sums " ] ||
  fail "unexpected control files"
dpkg-deb --contents "$deb" | awk '{print $NF}' >"$scratch/contents"
for f in bin/pelt bin/pelt-cli share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/mime/packages/$id.xml share/metainfo/$id.metainfo.xml share/man/man1/pelt-cli.1 \
         share/pelt/phongs/tight.pcx share/pelt/enviros/horizon.pcx \
         share/doc/pelt/user-guide.md share/doc/pelt/user-guide.html; do
  grep -qx "./usr/$f" "$scratch/contents" || fail "package lacks /usr/$f"
done
# The packaged (stripped) tool still reads the demo model.
dpkg-deb -x "$deb" "$scratch/unpacked"
"$scratch/unpacked/usr/bin/pelt-cli" info "$model" | grep -q "^triangles: " || fail "packaged pelt-cli"
# ... and finds the maps installed beside it: mode 4 needs a phong map, which
# a game folder without one only has from there.
rm -rf "$scratch/demo/baseq2/phongs"
"$scratch/unpacked/usr/bin/pelt-cli" render "$model" "$scratch/phong.bmp" --mode 4 ||
  fail "packaged pelt-cli found no phong map of its own"
echo "package check: $(basename "$deb") ok"
