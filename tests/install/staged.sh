#!/usr/bin/env bash
# A staged install (DESTDIR) holds exactly the files meant to be installed and writes nothing else.
set -euo pipefail
build=$1 source=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=$stage/live-prefix-never-written
DESTDIR=$stage/root cmake --install "$build" --prefix "$prefix" >/dev/null
if [ -e "$prefix" ]; then
    echo "the install wrote outside its stage: $prefix"
    exit 1
fi
actual=$(cd "$stage/root$prefix" && find . -type f | sort)
expected=$(sort "$source/tests/install/files.txt")
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual")
    exit 1
fi
plan=$(sqlite3 "$stage/root$prefix/share/fennor-tellomat/tlm.mdb" "select count(*) from SPEISEPLAN")
dishes=$(sqlite3 "$stage/root$prefix/share/fennor-tellomat/tlm.mdb" "select count(*) from GERICHTE")
if [ "$plan" != 0 ] || [ "$dishes" = 0 ]; then
    echo "the template should hold the catalogue ($dishes dishes) and no plan ($plan entries)"
    exit 1
fi
echo "staged install: $(echo "$actual" | wc -l) files"
