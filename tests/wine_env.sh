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
