#!/usr/bin/env bash
# Runs the Windows tests under Wine, in a Wine prefix and an X server of their own:
# registers the test build of the module (test-module/KESTRIX.OCX, which has the test hooks)
# with regsvr32, runs the JScript files of cscript/ through the system's script host, then the
# test container's tests, then the golden scripts of kestrix-script
# that a container can run (golden-scripts.txt) and the container's own (scripts/*.kss) through
# the container's script mode, unregisters the module and checks that the classes root is
# exactly as it was before. The shipped KESTRIX.OCX is then loaded alone, unregistered, by the
# container's ShippedModule tests. A failing expect fails the run.
#   tests/windows/run-under-wine.sh WINDOWS_BUILD_DIR [OUTPUT_DIR]
# Exit status 77 when Wine or Xvfb is missing (the test is then skipped).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:?usage: run-under-wine.sh WINDOWS_BUILD_DIR [OUTPUT_DIR]}")
output=$(realpath -m "${2:-$build/output}")
for tool in wine wineboot wineserver Xvfb; do
  command -v "$tool" >/dev/null || { echo "run-under-wine: $tool is not installed"; exit 77; }
done
module="$build/test-module/KESTRIX.OCX"
for file in KESTRIX.OCX test-module/KESTRIX.OCX kestrix-container.exe; do
  [ -f "$build/$file" ] || { echo "run-under-wine: $build/$file is missing"; exit 1; }
done
mkdir -p "$output"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A step that fails says which, with what Wine printed while it set up, instead of ending the run
# in silence.
failed() {
  echo "run-under-wine: line $1 failed: $2"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; }; done
}
trap 'failed "$LINENO" "$BASH_COMMAND"' ERR

# The first display number nobody holds.
display=""
for n in $(seq 90 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "run-under-wine: no free X display"; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export DISPLAY=":$display" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: the prefix has no use for them and would ask to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w

# The script host registers its own type library the first time it runs: let it do so before
# the classes root is taken as it was.
: >"$work/nothing.js"
wine cscript //nologo "$(winepath -w "$work/nothing.js")" >"$work/cscript-first.log" 2>&1 || true
# Its registration may go on in processes of its own: the registry is read once they are done.
wineserver -w
wine reg export HKCR "$(winepath -w "$work/before.reg")" /y >/dev/null
if ! wine regsvr32 /s "$(winepath -w "$module")"; then
  echo "run-under-wine: regsvr32 test-module/KESTRIX.OCX failed"
  exit 1
fi
echo "run-under-wine: regsvr32 test-module/KESTRIX.OCX registered the module"

status=0
# A client we did not write: the system's script host creates the control by its ProgID, as
# script hosts do, with no InitNew, and checks its defaults and fonts. Its output goes through
# a file: Wine's background processes would hold a pipe open.
for file in "$here"/cscript/*.js; do
  cscript_status=0
  wine cscript //nologo "$(winepath -w "$file")" >"$output/cscript.log" 2>&1 || cscript_status=$?
  tr -d '\r' <"$output/cscript.log"
  # A script stopped by an error may end with status 0: its last line must say that all held.
  if [ "$cscript_status" -ne 0 ] || [ "$(tr -d '\r' <"$output/cscript.log" | tail -n 1)" != "all checks held" ]; then
    echo "run-under-wine: cscript $(basename "$file") failed (status $cscript_status)"
    status=1
  fi
done

container_status=0
KESTRIX_WINDOWS_OUTPUT="$(winepath -w "$output")" wine "$build/kestrix-container.exe" \
  --gtest_output="xml:$(winepath -w "$output/kestrix-container.xml")" || container_status=$?
[ "$container_status" -eq 0 ] || status=$container_status

scripts=()
while read -r name; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  scripts+=("$(winepath -w "$here/../scripts/$name")")
done <"$here/golden-scripts.txt"
for file in "$here"/scripts/*.kss; do scripts+=("$(winepath -w "$file")"); done
# The scripts' own files (save, png) go to the output directory.
script_status=0
(cd "$output" && wine "$build/kestrix-container.exe" --script --metrics fixed "${scripts[@]}") \
  >"$output/scripts.log" 2>&1 || script_status=$?
cat "$output/scripts.log"
if [ "$script_status" -ne 0 ]; then
  echo "run-under-wine: a script failed (status $script_status)"
  [ "$status" -ne 0 ] || status=$script_status
fi

if ! wine regsvr32 /u /s "$(winepath -w "$module")"; then
  echo "run-under-wine: regsvr32 /u test-module/KESTRIX.OCX failed"
  exit 1
fi
wine reg export HKCR "$(winepath -w "$work/after.reg")" /y >/dev/null
if ! diff <(iconv -f UTF-16LE -t UTF-8 "$work/before.reg") <(iconv -f UTF-16LE -t UTF-8 "$work/after.reg") \
  >"$work/registry.diff"; then
  echo "run-under-wine: unregistering left the classes root changed:"
  head -n 40 "$work/registry.diff"
  exit 1
fi
echo "run-under-wine: regsvr32 /u removed every entry"

# The shipped module registers and unregisters as the test build does.
shipped="$(winepath -w "$build/KESTRIX.OCX")"
if ! wine regsvr32 /s "$shipped" || ! wine regsvr32 /u /s "$shipped"; then
  echo "run-under-wine: regsvr32 KESTRIX.OCX (shipped) failed"
  exit 1
fi
wine reg export HKCR "$(winepath -w "$work/after-shipped.reg")" /y >/dev/null
if ! diff <(iconv -f UTF-16LE -t UTF-8 "$work/before.reg") \
  <(iconv -f UTF-16LE -t UTF-8 "$work/after-shipped.reg") >"$work/registry.diff"; then
  echo "run-under-wine: unregistering the shipped module left the classes root changed:"
  head -n 40 "$work/registry.diff"
  exit 1
fi
echo "run-under-wine: the shipped KESTRIX.OCX registers and unregisters"

KESTRIX_SHIPPED_MODULE="$shipped" wine "$build/kestrix-container.exe" \
  --gtest_filter='ShippedModule.*' \
  --gtest_output="xml:$(winepath -w "$output/kestrix-container-shipped.xml")" || {
  echo "run-under-wine: the shipped module answers a test hook"
  [ "$status" -ne 0 ] || status=1
}
exit "$status"
