#!/bin/sh
# Stands in for ImageMagick's convert as embed-bitmap.cmake calls it
# (INPUT -compress None BMP3:OUTPUT): the output is the input as it is.
cp "$1" "${4#BMP3:}"
