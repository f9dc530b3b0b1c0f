#!/usr/bin/env bash
# The build refuses a picture whose bitmap GDI could not draw as it is, so the
# program draws without checking: a bitmap cut short, a compressed one, one
# with half a header, and a file that is no bitmap at all must each stop it.
# Usage: embed_rejects_broken_bitmaps.sh CONVERT PICTURE EMBED_SCRIPT WORK_DIR
set -uo pipefail
convert=$1 picture=$2 embed=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
good=$work/good.bmp
"$convert" "$picture" -compress None "BMP3:$good" || exit 2
size=$(stat -c %s "$good")
head -c $((size - 1)) "$good" >"$work/truncated.bmp"
cp "$good" "$work/compressed.bmp"
printf '\001' | dd of="$work/compressed.bmp" bs=1 seek=30 conv=notrunc status=none # biCompression
head -c $((14 + 8)) "$good" >"$work/half-header.bmp"
: >"$work/nothing.bmp"

# Each broken file, and what the build must say of it.
declare -A reasons=([truncated]="pixels need" [compressed]="compressed (method 1)"
  [half-header]="too few for a header" [nothing]="did not write a bitmap")
status=0
for broken in "${!reasons[@]}"; do
  # A stand-in for ImageMagick that hands over the broken file as its output.
  if ! "$here/expect_failure.sh" "${reasons[$broken]}" -- cmake -DCONVERT="$here/copy_as_bitmap.sh" \
    -DINPUT="$work/$broken.bmp" -DOUTPUT="$work/$broken.cpp" -DNAME=kPicture -DHEADER=picture.h \
    -P "$embed"; then
    echo "the build took the $broken bitmap"
    status=1
  fi
done
exit $status
