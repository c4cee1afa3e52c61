#!/usr/bin/env bash
# The AppStream file validates, and every screenshot it names is a picture in the repository's docs/
# (published under the homepage as https://fennor.de/tellomat/docs/NAME).
set -euo pipefail
source=$1
metainfo=$source/packaging/de.fennor.Tellomat.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null
images=$(grep -o '<image>[^<]*</image>' "$metainfo" | sed 's|<image>\(.*\)</image>|\1|')
[ -n "$images" ] || { echo "no screenshot"; exit 1; }
for url in $images; do
    case $url in
    https://fennor.de/tellomat/docs/*.png) ;;
    *) echo "not a picture of docs/: $url"; exit 1 ;;
    esac
    file=$source/docs/${url#https://fennor.de/tellomat/docs/}
    [ -f "$file" ] || { echo "missing: $file"; exit 1; }
done
echo "metainfo: $(echo "$images" | wc -l) screenshots, all in docs/"
