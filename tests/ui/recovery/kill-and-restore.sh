#!/bin/sh
# Under Xvfb: copy 1 edits one.vlm, copy 2 (running alone, without the session bus) edits
# two.vlm; both keep recovery copies in one folder. Copy 1 is killed with SIGKILL; copy 3
# starts, offers only copy 1's changes, restores them on Return and saves with Ctrl+S. The
# saved one.vlm must equal expected.vlm; copy 2's recovery copy must be untouched throughout.
set -u
velmo="$1"; one="$2"; two="$3"; expected="$4"; state="$5"
export XDG_STATE_HOME="$state"
folder="$state/velmo/recovery"
p1=""; p2=""; p3=""

fail() {
  echo "FAIL: $*"
  ls -la "$folder" 2>/dev/null
  for p in $p1 $p2 $p3; do kill -9 "$p" 2>/dev/null; done
  exit 1
}
. "$(dirname "$0")/../xdotool-windows.sh"
# A visible window of the process that is not a main window ("… - …").
dialog_of() {
  i=0
  while [ $i -lt 240 ]; do
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
      case "$(xdotool getwindowname "$w" 2>/dev/null)" in
        *" - "*) ;;
        ?*) echo "$w"; return 0 ;;
      esac
    done
    i=$((i + 1)); sleep 0.25
  done
  return 1
}
copies() { ls "$folder" 2>/dev/null | grep -c '\.vrec$'; }
wait_copies() {
  i=0
  while [ "$(copies)" != "$1" ]; do
    i=$((i + 1)); [ $i -gt 480 ] && fail "waiting for $1 recovery copies"
    sleep 0.25
  done
}

"$velmo" "$one" & p1=$!
w1=$(window_of $p1 one.vlm) || fail "copy 1 shows no window"
keys "$w1" ctrl+shift+n ctrl+shift+n ctrl+d || fail "keys to copy 1"
wait_copies 1

DBUS_SESSION_BUS_ADDRESS= "$velmo" "$two" & p2=$!
w2=$(window_of $p2 two.vlm) || fail "copy 2 shows no window"
keys "$w2" ctrl+shift+n || fail "keys to copy 2"
wait_copies 2
mine2=$(ls "$folder" | grep -- "-$p2-" | head -n 1)
[ -n "$mine2" ] || fail "copy 2 has no copy of its own"
sum2=$(md5sum < "$folder/$mine2")

kill -9 $p1; wait $p1 2>/dev/null; p1=""

DBUS_SESSION_BUS_ADDRESS= "$velmo" & p3=$!
dialog=$(dialog_of $p3) || fail "copy 3 offers nothing"
keys "$dialog" Return || fail "keys to the dialog"
w3=$(window_of $p3 one.vlm) || fail "copy 3 did not restore one.vlm"
keys "$w3" ctrl+s || fail "keys to copy 3"
i=0
until cmp -s "$one" "$expected"; do
  i=$((i + 1)); [ $i -gt 240 ] && fail "one.vlm was not saved as expected"
  sleep 0.25
done
# Saving removed copy 1's changes; copy 2's copy was never taken and is unchanged.
wait_copies 1
[ -f "$folder/$mine2" ] || fail "copy 2's recovery copy went"
[ "$(md5sum < "$folder/$mine2")" = "$sum2" ] || fail "copy 2's recovery copy changed"
kill $p2 $p3
wait $p2 $p3 2>/dev/null
echo "restored and saved"
exit 0
