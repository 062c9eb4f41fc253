#!/usr/bin/env bash
# Console conversion speed and memory against other PCX-to-BMP converters.
#
#   bench/console_bench.sh [BUILD_FOLDER] [RUNS]
#
# Makes a 24-bit 4000 x 3000 PCX and an 8-bit 640 x 480 PCX, converts each to
# BMP with tornquil, ImageMagick, GraphicsMagick, netpbm (pcxtoppm | ppmtobmp)
# and Pillow, and runs an I/O floor that only reads the input and writes as
# many bytes as the BMP has. Prints the median wall time (hyperfine), the
# peak memory (/usr/bin/time, median of three) and the ratios of tornquil to
# each. Needs the packages of the bench setup line in bench/README.md.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-15}
py=/usr/bin/python3
imagemagick=/usr/bin/convert-im6.q16  # Debian's own binary, not a wrapper found first on PATH

for tool in hyperfine gm pcxtoppm ppmtobmp /usr/bin/time "$imagemagick" "$py"; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (see bench/README.md)" >&2; exit 1; }
done
"$py" -c 'import PIL' || { echo "missing: python3-pil" >&2; exit 1; }

cmake --build "$build" --target tornquil io_floor -j2 >/dev/null 2>&1
tornquil=$build/tornquil
floor=$build/bench/io_floor
[ -x "$floor" ] || floor=$(find "$build" -name io_floor -type f -perm -u+x | head -n1)

work=$(mktemp -d "${TMPDIR:-/tmp}/tq-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# A private lock folder: a tornquil started elsewhere does not refuse ours.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$py" - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
# A photo-like picture: gradients with noise, as scans give; RLE finds few runs.
w, h = 4000, 3000
r = Image.linear_gradient("L").resize((w, h))
g = Image.effect_noise((w, h), 48)
b = Image.radial_gradient("L").resize((w, h))
Image.merge("RGB", (r, g, b)).save(work + "/photo24.pcx")
# A drawing-like 8-bit picture: flat areas, 256 colours.
small = Image.merge("RGB", (Image.linear_gradient("L").resize((640, 480)),
                            Image.radial_gradient("L").resize((640, 480)),
                            Image.linear_gradient("L").rotate(90).resize((640, 480))))
small.quantize(256).save(work + "/drawing8.pcx")
PY

pillow_convert="$work/pillow_convert.py"
printf '%s\n' 'import sys' 'from PIL import Image' 'Image.open(sys.argv[1]).save(sys.argv[2], "BMP")' > "$pillow_convert"

median_rss() {  # peak resident set in KB, median of three runs
  local values=()
  for _ in 1 2 3; do
    values+=("$(/usr/bin/time -f '%M' sh -c "$1" 2>&1 >/dev/null | tail -n1)")
  done
  printf '%s\n' "${values[@]}" | sort -n | sed -n 2p
}

for name in photo24 drawing8; do
  in=$work/$name.pcx
  out=$work/out-$name
  mkdir -p "$out"
  "$tornquil" -q -i "$in" -o "$out" --filename-mask=tornquil.bmp
  bytes=$(stat -c %s "$out/tornquil.bmp")

  labels=(tornquil imagemagick graphicsmagick netpbm pillow io-floor)
  commands=(
    "'$tornquil' -q -i '$in' -o '$out' --filename-mask=tornquil.bmp"
    "'$imagemagick' '$in' 'BMP3:$out/imagemagick.bmp'"
    "gm convert '$in' 'BMP3:$out/graphicsmagick.bmp'"
    "pcxtoppm '$in' | ppmtobmp > '$out/netpbm.bmp'"
    "'$py' '$pillow_convert' '$in' '$out/pillow.bmp'"
    "'$floor' '$in' '$out/floor.bmp' $bytes"
  )

  echo
  echo "== $name.pcx ($(stat -c %s "$in") bytes) -> BMP ($bytes bytes from tornquil)"
  hyperfine --style none --warmup 2 --runs "$runs" --export-json "$work/$name.json" \
    "${commands[@]}" >/dev/null 2>&1

  rss=()
  for c in "${commands[@]}"; do rss+=("$(median_rss "$c")"); done

  "$py" - "$work/$name.json" "$out" "${labels[*]}" "${rss[*]}" <<'PY'
import json, os, sys
from PIL import Image
results = json.load(open(sys.argv[1]))["results"]
out, labels, rss = sys.argv[2], sys.argv[3].split(), [int(v) for v in sys.argv[4].split()]
files = ["tornquil", "imagemagick", "graphicsmagick", "netpbm", "pillow", None]
times = [sorted(r["times"])[len(r["times"]) // 2] * 1000 for r in results]
t0, m0 = times[0], rss[0]
print(f"{'tool':<16}{'median ms':>11}{'peak MB':>10}{'tornquil/x time':>17}{'tornquil/x mem':>16}  output")
for label, t, m, f in zip(labels, times, rss, files):
    if f:
        im = Image.open(os.path.join(out, f + ".bmp"))
        what = f"{im.width}x{im.height} {im.mode}"
    else:
        what = "bytes only"
    print(f"{label:<16}{t:>11.1f}{m / 1024:>10.1f}{t0 / t:>17.2f}{m0 / m:>16.2f}  {what}")
PY
done
