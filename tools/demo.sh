#!/usr/bin/env bash
# The main job: a silent installation of the built setup program into a fresh
# Wine prefix, what it installed, then its silent removal and what is left.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tests/wine_env.sh"

prefix="$top/build/wine/demo"
echo "== fresh Wine prefix: $prefix"
make_prefix "$prefix"
export WINEPREFIX="$prefix" HOME="$prefix/home"
start="$prefix/drive_c/start"
mkdir -p "$start"

args=(/silent /desktop=1 /group=1 /thumbs=1 /assoc=1)
# Windows 10, and the registered-applications key every Windows has.
wine reg add 'HKCU\Software\Wine\AppDefaults\lumidor476_setup.exe' /v Version /d win10 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\RegisteredApplications' /reg:32 /f >/dev/null 2>&1
wineserver -w
echo "== lumidor476_setup.exe ${args[*]}"
(cd "$start" && wine "$top/dist/lumidor476_setup.exe" "${args[@]}" >/dev/null 2>&1)
status=$?
wineserver -w
echo "exit status: $status"

c="$prefix/drive_c"
folder="$c/Program Files (x86)/Lumidor"
[ -d "$folder" ] || folder="$c/Program Files/Lumidor"
echo
echo "== installed files (C:${folder#$c})"
(cd "$folder" && find . -type f -printf '%P\t%TY-%Tm-%Td %TT\t%s bytes\n' | sed 's/\.[0-9]*\t/\t/' | sort \
  | column -t -s "$(printf '\t')" | sed 's/^/  /')

show_ini() {
  echo
  echo "== $1 (first 80 bytes, then decoded)"
  head -c 80 "$2" | od -A d -t x1 | sed 's/^/  /'
  if [ "$(head -c 2 "$2" | od -A n -t x1 | tr -d ' ')" = "fffe" ]; then
    iconv -f UTF-16 -t UTF-8 "$2" | sed 's/^/  /'
  else
    sed 's/^/  /' "$2"
  fi
}
show_ini "program folder's lumi32.ini" "$folder/lumi32.ini"
settings="$c/users/root/AppData/Roaming/Lumidor/lumi32.ini"
[ -f "$settings" ] && show_ini "settings file C:${settings#$c}" "$settings"

echo
echo "== temporary folder"
ls -A "$c/users/root/Temp" 2>/dev/null | sed 's/^/  /'
echo "  (nothing left behind when empty)"
echo
wineserver -k 2>/dev/null
python3 "$top/tools/show_installation.py" "$prefix"
echo
echo "== install log"
if [ -f "$start/Lumidor_Install.log" ]; then sed 's/^/  /' "$start/Lumidor_Install.log"; else echo "  none (a successful silent installation writes none)"; fi
[ "$status" -eq 0 ] || exit $status

# The removal, as a deployment tool runs it: the uninstall entry's command.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumidor'
quiet=$(wine reg query "$uninstall_key" /v QuietUninstallString /reg:32 2>/dev/null | tr -d '\r' \
  | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
echo
echo "== QuietUninstallString: $quiet"
exe=$(printf '%s' "$quiet" | sed 's/^"\([^"]*\)".*/\1/')
(cd "$start" && wine "$exe" /silent >/dev/null 2>&1)
removal=$?
wineserver -w
echo "exit status: $removal"
echo "== simulated restart (removes the uninstaller's temporary copy)"
wine wineboot -r >/dev/null 2>&1
wineserver -w
wineserver -k 2>/dev/null
echo
echo "== after the removal"
[ -e "$folder" ] && echo "  program folder still there: C:${folder#$c}" || echo "  program folder C:${folder#$c}: gone"
ls -A "$c/users/root/Temp" 2>/dev/null | sed 's/^/  temporary folder holds: /'
[ -f "$settings" ] && echo "  kept: the user's settings C:${settings#$c} (\"/purge\" removes them too)"
[ -f "$start/Lumidor_Uninstall.log" ] && sed 's/^/  /' "$start/Lumidor_Uninstall.log"
python3 "$top/tools/show_installation.py" "$prefix" | sed 's/^/  /'
exit $removal
