#!/bin/sh
# zorva-studio --offline as the player runs it, on a virtual X display: the launcher
# starts the virtual device from a backup and the editor, whose window, titled with the
# backup's name, appears once the presets of the backup are loaded. When the editor ends
# the launcher writes NAME-edited.zbf beside the backup, which passes the restore's check.
# Usage: offline_xvfb_test.sh <dist folder>. Skipped (77) without Xvfb and xwininfo.
set -u
dist=$1
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || exit 77

work=$(mktemp -d "${TMPDIR:-/tmp}/rq700-offline.XXXXXX")
xvfb_pid="" studio_pid=""
cleanup() {
  for pid in $studio_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "offline_xvfb_test: $*"; [ -f "$work/studio.err" ] && cat "$work/studio.err"; exit 1; }

Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb RQ700_EMU_DIR="$work/emu"

(echo "save-backup $work/gig.zbf"; sleep 1; echo quit) |
  "$dist/rq700-emu" --socket "$work/backup.sock" >/dev/null 2>&1
[ -f "$work/gig.zbf" ] || fail "no backup to edit"

"$dist/zorva-studio" --offline "$work/gig.zbf" >/dev/null 2>"$work/studio.err" &
studio_pid=$!
title="RQ700 Studio (offline: gig.zbf)"
for _ in $(seq 1 300); do
  xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable' && break
  sleep 0.1
done
xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable' ||
  fail "no editor window titled '$title'"
editor_pid=$(pgrep -P "$studio_pid" -x ZORVA_RQ700) || fail "the editor is not the launcher's"
kill "$editor_pid"
for _ in $(seq 1 300); do
  grep -q 'The edited backup is saved as' "$work/studio.err" && break
  sleep 0.1
done
grep -q "The edited backup is saved as" "$work/studio.err" || fail "no edited backup written"
"$dist/rq700" backup check "$work/gig-edited.zbf" >/dev/null || fail "the edited backup is bad"
# Nothing was edited: the same presets, slots and settings, byte for byte.
cmp -s "$work/gig.zbf" "$work/gig-edited.zbf" || fail "opening the editor changed the backup"
exit 0
