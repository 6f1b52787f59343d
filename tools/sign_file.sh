#!/usr/bin/env bash
# Signs one program in place (Authenticode, SHA-256) with osslsigncode: the
# build of `make sign` calls it for each program it makes.
# usage: sign_file.sh FILE PFX PASSWORD_FILE TIMESTAMP_URL (the last two may be "")
set -eu
file=$1 pfx=$2 password_file=$3 timestamp_url=$4
args=(sign -pkcs12 "$pfx" -h sha256 -n "Lumidor 4.76 (32-bit)")
[ -n "$password_file" ] && args+=(-readpass "$password_file")
[ -n "$timestamp_url" ] && args+=(-ts "$timestamp_url")
rm -f "$file.signed"
if ! osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >"$file.sign.log" 2>&1; then
  echo "make sign: osslsigncode could not sign $(basename "$file"):" >&2
  sed 's/^/  /' "$file.sign.log" >&2
  rm -f "$file.signed" "$file"  # no half-signed build is left to be picked up
  exit 1
fi
mv "$file.signed" "$file"
rm -f "$file.sign.log"
