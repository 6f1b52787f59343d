# Shared by the test scripts: a quiet Wine, no desktop integration, and
# helpers to make prefixes. Source it; it defines functions only.

export WINEDEBUG=${WINEDEBUG:--all}
# No Linux menu entries for shortcuts, no host browser for web addresses.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winebrowser.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# make_prefix DIR [win32|win64]: a fresh prefix whose user folders are real
# folders inside it, with its own HOME so nothing reaches the real one.
make_prefix() {
  local dir=$1 arch=${2:-win64}
  rm -rf "$dir"
  mkdir -p "$dir/home"
  HOME="$dir/home" WINEARCH=$arch WINEPREFIX="$dir" wineboot -i >"$dir.wineboot.log" 2>&1
  HOME="$dir/home" WINEPREFIX="$dir" wineserver -w
  local users="$dir/drive_c/users"
  local user
  for user in "$users"/*; do
    [ -d "$user" ] || continue
    local link
    for link in "$user"/*; do
      if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
  done
}

# Windows form of a Unix path, through Wine's Z: drive.
z_path() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

# start_xvfb: a private X display for the tests (Wine cannot create windows
# without one); sets DISPLAY and XVFB_PID.
start_xvfb() {
  local n
  for n in $(seq 150 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; return 0; fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
  done
  echo "no Xvfb display could be started" >&2
  return 1
}
