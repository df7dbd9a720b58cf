# Shared by the real-window test scripts: finding a program's windows and typing into them with
# xdotool. Sourced; needs nothing but a display.

# The first visible window of a process whose name holds the text (ASCII).
window_of() {
  i=0
  while [ $i -lt 240 ]; do
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
      case "$(xdotool getwindowname "$w" 2>/dev/null)" in
        *"$2"*) echo "$w"; return 0 ;;
      esac
    done
    i=$((i + 1)); sleep 0.25
  done
  return 1
}
# Focuses the window, then types the keys one by one.
keys() { xdotool windowfocus --sync "$1" && sleep 0.3 && shift && xdotool key --delay 150 "$@"; }
