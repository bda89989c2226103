#!/bin/sh
# kestrix-script on a full disk: a save that cannot be written is an ERROR line and the script
# goes on, a png that cannot be written stops it, and each leaves the file that was there as
# it was with nothing beside it. Runs on a small memory file system in a mount namespace of
# its own; skipped (status 77) where none can be made.
#   FullDisk.sh KESTRIX_SCRIPT
set -u
exe=$1
if [ "${KESTRIX_FULL_DISK_INSIDE:-}" != 1 ]; then
  unshare -rm true 2>/dev/null || { echo "no mount namespace here"; exit 77; }
  exec env KESTRIX_FULL_DISK_INSIDE=1 unshare -rm "$0" "$@"
fi
dir=$(mktemp -d)
mount -t tmpfs -o size=1m tmpfs "$dir" || { echo "no memory file system here"; exit 77; }
cd "$dir" || exit 1
printf 'metrics fixed\nwindow 300 200\nset Text "first"\nsave doc.kestrix\npng shot.png\n' |
  "$exe" >/dev/null || { echo "the first saves failed"; exit 1; }
cp doc.kestrix doc.before && cp shot.png shot.before || exit 1
dd if=/dev/zero of=fill bs=4k 2>/dev/null
out=$(printf 'metrics fixed\nwindow 300 200\nset Text "second"\nsave doc.kestrix\nexpect text "second"\npng shot.png\nprint text\n' |
  "$exe" 2>&1)
status=$?
fail() { echo "$1"; echo "$out"; ls -la; exit 1; }
[ "$status" = 2 ] || fail "exit status $status, expected 2"
echo "$out" | grep -q '^ERROR <stdin>:4: save: cannot save doc.kestrix: .*No space left on device' ||
  fail "no ERROR line for the save"
echo "$out" | grep -q '^ok$' || fail "the script did not go on after the failed save"
echo "$out" | grep -q '<stdin>:6: .*shot.png: No space left on device' || fail "the png's failure is not told"
echo "$out" | grep -q 'text = ' && fail "the script went on after the png failed"
cmp -s doc.kestrix doc.before || fail "the document was changed"
cmp -s shot.png shot.before || fail "the picture was changed"
[ "$(ls | sort | tr '\n' ' ')" = "doc.before doc.kestrix fill shot.before shot.png " ] ||
  fail "something was left beside the files"
exit 0
