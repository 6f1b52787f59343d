#!/usr/bin/env bash
# `make sign`: builds as `make` does in build/signed, with every program of
# the payload signed before it is zipped and the setup program signed last,
# then puts the signed program at dist/lumidor476_setup.exe. A missing or
# wrong certificate or password stops before anything is built, and a failure
# on the way leaves dist/ as it was.
# Environment: SIGN_PFX (required), SIGN_PASSWORD_FILE, SIGN_TIMESTAMP_URL
# (required: a signature without a timestamp ends with the certificate),
# SIGN_NO_TIMESTAMP=1 to sign without one all the same (tests, trials);
# DIST, the folder for the program (dist/ of the project by default).
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "make sign: $*" >&2; exit 1; }

pfx=${SIGN_PFX:-}
password_file=${SIGN_PASSWORD_FILE:-}
timestamp_url=${SIGN_TIMESTAMP_URL:-}
no_timestamp=${SIGN_NO_TIMESTAMP:-}
dist=${DIST:-$top/dist}
[ -n "$pfx" ] || fail "give the certificate: make sign SIGN_PFX=<file.pfx> [SIGN_PASSWORD_FILE=<file>] SIGN_TIMESTAMP_URL=<url>"
[ -f "$pfx" ] && [ -r "$pfx" ] || fail "the certificate file $pfx does not exist or cannot be read"
pfx=$(cd "$(dirname "$pfx")" && pwd)/$(basename "$pfx")
if [ -n "$password_file" ]; then
  [ -f "$password_file" ] && [ -r "$password_file" ] || fail "the password file $password_file does not exist or cannot be read"
  password_file=$(cd "$(dirname "$password_file")" && pwd)/$(basename "$password_file")
  passin=(-passin "file:$password_file")
else
  passin=(-passin pass:)
fi

# The container must open with the password and hold a key and a certificate.
opens() { openssl pkcs12 -in "$pfx" "${passin[@]}" "$@" 2>/dev/null || openssl pkcs12 -legacy -in "$pfx" "${passin[@]}" "$@" 2>/dev/null; }
opens -nokeys -clcerts | openssl x509 -noout 2>/dev/null \
  || fail "$pfx cannot be opened with the given password (wrong password, or not a PKCS#12 file with a certificate)"
opens -nocerts -nodes | grep -q "PRIVATE KEY" || fail "$pfx holds no private key"
if [ -z "$timestamp_url" ]; then
  [ "$no_timestamp" = 1 ] || fail "give a time-stamp server (SIGN_TIMESTAMP_URL=<url>): without a timestamp the signatures end with the certificate; SIGN_NO_TIMESTAMP=1 signs without one all the same"
  echo "make sign: SIGN_NO_TIMESTAMP=1: the signatures carry no timestamp and end with the certificate"
fi

# Always a fresh build: every program is signed with this certificate.
build="$top/build/signed"
rm -rf "$build"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DLUMIDOR_THREAD_MODEL=win32 \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DLUMIDOR_DEPS="$top/build/deps" -DSIGN_PFX="$pfx" \
  -DSIGN_PASSWORD_FILE="$password_file" -DSIGN_TIMESTAMP_URL="$timestamp_url" >/dev/null || fail "configuring $build failed"
cmake --build "$build" -j"$(nproc)" --target lumidor476_setup -- --no-print-directory >"$build/sign-build.log" 2>&1 \
  || { tail -n 20 "$build/sign-build.log" >&2; fail "the signed build failed; $dist is left as it was"; }

program="$build/lumidor476_setup.exe"
rm -f "$build/setup.sig"
osslsigncode extract-signature -in "$program" -out "$build/setup.sig" >/dev/null 2>&1 \
  || fail "$program carries no signature; $dist is left as it was"
mkdir -p "$dist"
cp "$program" "$dist/.lumidor476_setup.exe.part" && mv "$dist/.lumidor476_setup.exe.part" "$dist/lumidor476_setup.exe"
echo "signed $dist/lumidor476_setup.exe"
