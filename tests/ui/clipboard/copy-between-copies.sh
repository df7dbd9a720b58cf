#!/bin/sh
# Under Xvfb: copy 1 of the program opens one.vlm, selects its balloon with Tab and copies it
# with Ctrl+C; a helper (the test executable itself) reads the clipboard on the same display into
# files; copy 2, running beside copy 1 without the session bus, opens two.vlm, pastes with Ctrl+V
# and saves with Ctrl+S. The saved two.vlm must equal expected.vlm.
set -u
velmo="$1"; helper="$2"; one="$3"; two="$4"; expected="$5"; dumped="$6"; state="$7"
export XDG_STATE_HOME="$state"
export DBUS_SESSION_BUS_ADDRESS=
p1=""; p2=""

fail() {
  echo "FAIL: $*"
  for p in $p1 $p2; do kill -9 "$p" 2>/dev/null; done
  exit 1
}
. "$(dirname "$0")/../xdotool-windows.sh"

"$velmo" "$one" & p1=$!
w1=$(window_of $p1 one.vlm) || fail "copy 1 shows no window"
keys "$w1" Tab ctrl+c || fail "keys to copy 1"
"$helper" --dump-clipboard "$dumped" || fail "the clipboard holds no balloon"

"$velmo" "$two" & p2=$!
w2=$(window_of $p2 two.vlm) || fail "copy 2 shows no window"
keys "$w2" ctrl+v ctrl+s || fail "keys to copy 2"
i=0
until cmp -s "$two" "$expected"; do
  i=$((i + 1)); [ $i -gt 240 ] && fail "two.vlm was not saved with the pasted balloon"
  sleep 0.25
done
kill $p1 $p2
wait $p1 $p2 2>/dev/null
echo "copied in one copy, pasted in the other"
exit 0
