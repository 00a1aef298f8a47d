#!/bin/sh
# Writes PNG and TGA files in every colour type Pelt reads, made by PIL and
# ImageMagick, into FOLDER. The pictures follow the rules image_files_test
# checks them against. Exits 3 when PIL or ImageMagick is missing.
#   make_image_samples.sh FOLDER
set -e
out=$1
mkdir -p "$out"
command -v convert >/dev/null || exit 3
for py in /usr/bin/python3 python3; do
  if "$py" -c "import PIL" 2>/dev/null; then python=$py; break; fi
done
[ -n "${python:-}" ] || exit 3
"$python" - "$out" <<'PY'
import sys
from PIL import Image
out = sys.argv[1]
W, H = 13, 7

def indexed(k):
    im = Image.new("P", (W, H))
    pal = []
    for i in range(256):
        pal += [(i * 37 + 11) % 256, (i * 91 + 7) % 256, (i * 53 + 200) % 256]
    im.putpalette(pal)
    im.putdata([(x + 2 * y) % k for y in range(H) for x in range(W)])
    return im

grey = Image.new("L", (W, H))
grey.putdata([(x * 17 + y * 29) % 256 for y in range(H) for x in range(W)])
rgb = Image.new("RGB", (W, H))
rgb.putdata([((x * 19 + y * 3) % 256, (x * 5 + y * 23) % 256, (x * y * 7 + 40) % 256)
             for y in range(H) for x in range(W)])
rgba = rgb.copy()
rgba.putalpha(128)

indexed(256).save(out + "/pil-p8.png")
for bits, k in ((1, 2), (2, 4), (4, 16)):
    indexed(k).save(out + "/pil-p%d.png" % bits, bits=bits)
grey.save(out + "/pil-l8.png")
grey.convert("LA").save(out + "/pil-la8.png")
grey16 = Image.new("I;16", (W, H))
grey16.putdata([v * 257 for v in grey.getdata()])
grey16.save(out + "/pil-l16.png")
rgb.save(out + "/pil-rgb8.png")
rgb.save(out + "/pil-rgb24.bmp")
rgba.save(out + "/pil-rgba8.png")
for rle, tag in ((False, ""), (True, "-rle")):
    extra = {"compression": "tga_rle"} if rle else {}
    indexed(256).save(out + "/pil-cm%s.tga" % tag, **extra)
    grey.save(out + "/pil-grey%s.tga" % tag, **extra)
    rgb.save(out + "/pil-rgb24%s.tga" % tag, **extra)
    rgba.save(out + "/pil-rgba32%s.tga" % tag, **extra)
rgb.save(out + "/base-rgb.png")
grey.save(out + "/base-grey.png")
indexed(16).save(out + "/base-p16.png")
PY
cd "$out"
convert base-p16.png -type Palette PNG8:im-p8.png
convert base-p16.png -type Palette -define png:bit-depth=4 PNG8:im-p4.png
convert base-grey.png -define png:color-type=0 -define png:bit-depth=16 im-l16.png
convert base-grey.png -alpha on -define png:color-type=4 -define png:bit-depth=16 im-la16.png
convert base-rgb.png PNG48:im-rgb16.png
convert base-rgb.png -alpha on PNG64:im-rgba16.png
convert base-rgb.png -interlace PNG PNG24:im-rgb8-interlaced.png
convert base-p16.png -interlace PNG PNG8:im-p8-interlaced.png
# ImageMagick 6.9 writes a bottom-up TGA's rows top first; whichever way
# this one writes, PIL's reading of the result decides.
tga() {
  src=$1; shift; name=$1; shift
  convert "$src" -flip "$@" "$name"
  "$python" -c "
import sys
from PIL import Image
a, b = Image.open(sys.argv[1]).convert('RGB'), Image.open(sys.argv[2]).convert('RGB')
sys.exit(list(a.getdata()) != list(b.getdata()))" "$name" "$src" || convert "$src" "$@" "$name"
}
convert base-rgb.png -type TrueColor BMP3:im-rgb24.bmp
tga base-rgb.png im-rgb24.tga -compress None
tga base-rgb.png im-rgb24-rle.tga -compress RLE
tga base-rgb.png im-rgba32-rle.tga -alpha on -compress RLE
tga base-grey.png im-grey-rle.tga -type Grayscale -compress RLE
tga base-p16.png im-cm.tga -type Palette -compress None
tga base-p16.png im-cm-rle.tga -type Palette -compress RLE
convert base-rgb.png -orient TopLeft im-rgb24-top.tga
rm -f base-*.png
