#!/usr/bin/env bash
# The plan files' MIME type: the XML is valid shared-mime-info, a database made from it alone knows
# *.tlm by it, and the menu entry opens that type with the file's name.
set -euo pipefail
source=$1
xml=$source/packaging/de.fennor.Tellomat.mime.xml
desktop=$source/packaging/de.fennor.Tellomat.desktop
type=application/x-fennor-tellomat-plan
xmllint --noout "$xml"
mime=$(mktemp -d)
trap 'rm -rf "$mime"' EXIT
mkdir -p "$mime/packages"
cp "$xml" "$mime/packages/"
update-mime-database "$mime" >/dev/null 2>&1
grep -qx "$type:\*\.tlm" "$mime/globs" || { echo "*.tlm is not $type in globs"; cat "$mime/globs"; exit 1; }
grep -qx "$type:fennor-tellomat" "$mime/icons" || { echo "no icon for $type"; exit 1; }
grep -qx "MimeType=$type;" "$desktop" || { echo "the desktop file does not take $type"; exit 1; }
grep -q '^Exec=tlm %f$' "$desktop" || { echo "the desktop file does not pass the file"; exit 1; }
desktop-file-validate "$desktop"
echo "mime: *.tlm is $type, opened by tlm %f"
