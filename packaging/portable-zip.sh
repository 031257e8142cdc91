#!/usr/bin/env bash
# portable-zip.sh OUT.zip README.txt FILE...: the portable archive, one
# folder "Tallivo" holding the program files and the readme (UTF-8 with a
# byte-order mark and CR LF lines, so Notepad on any Windows shows both
# languages).
set -euo pipefail
out=$(realpath -m "$1") readme=$2
shift 2
stage="$out.stage"
rm -rf "$stage" "$out"
mkdir -p "$stage/Tallivo"
cp "$@" "$stage/Tallivo/"
{ printf '\xef\xbb\xbf'; sed 's/\r*$/\r/' "$readme"; } >"$stage/Tallivo/README.txt"
# -X: no Unix owners or extra times, just what Windows' own unzip knows.
(cd "$stage" && zip -q -X -r -9 "$out.tmp" Tallivo)
mv "$out.tmp" "$out"
rm -rf "$stage"
