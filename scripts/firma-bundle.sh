#!/usr/bin/env bash
# Signs a built bundle and makes the release ZIP of it, the package the
# updater installs (scripts/aggiornamenti.json.esempio shows the feed for it).
#   scripts/firma-bundle.sh <private-key.pem> [build folder] [zip]
# A key:            openssl genpkey -algorithm ed25519 -out halvora-firma.pem
# Its public half:  <build>/platform/halvora-firma chiave halvora-firma.pem
# configured into the build that users run (-DHALVORA_CHIAVE_FIRMA=<hex>), so
# that its quarantine service and updater accept what this key signs.
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 <private-key.pem> [build folder] [zip]" >&2; exit 2; }
chiave=$1
build=${2:-build}
strumento="$build/platform/halvora-firma"
[ -x "$strumento" ] || { echo "$strumento is missing: build first" >&2; exit 1; }

campo() { sed -n "s/.*\"$1\": *\"\([^\"]*\)\".*/\1/p" "$build/Halvora.app/Info.json"; }
zip=$(realpath -m "${3:-$build/Halvora-$(campo versione)-$(campo architettura).zip}")

pubblica=$("$strumento" chiave "$chiave")
fidata=$(sed -n 's/^HALVORA_CHIAVE_FIRMA:STRING=//p' "$build/CMakeCache.txt")
if [ "$pubblica" != "$fidata" ]; then
  echo "warning: this build trusts another key (HALVORA_CHIAVE_FIRMA=\"$fidata\");" \
       "its own service will refuse the bundle" >&2
fi

# Signed in a copy, so the build folder stays as the build left it.
copia=$(mktemp -d)
trap 'rm -rf "$copia"' EXIT
cp -r --preserve=mode,timestamps,links "$build/Halvora.app" "$copia/"
rm -rf "$copia/Halvora.app/Firma"
# The updater writes only plain files and folders, each 0644 or 0755: the
# bundle is signed as it will be unpacked.
if [ -n "$(find "$copia/Halvora.app" ! -type f ! -type d)" ]; then
  echo "the bundle holds links or special files; the updater would refuse it" >&2
  exit 1
fi
find "$copia/Halvora.app" -type d -exec chmod 755 {} +
find "$copia/Halvora.app" -type f -perm /111 -exec chmod 755 {} +
find "$copia/Halvora.app" -type f ! -perm /111 -exec chmod 644 {} +
"$strumento" firma "$copia/Halvora.app" "$chiave"
"$strumento" verifica "$copia/Halvora.app" "$pubblica" >/dev/null

rm -f "$zip"
(cd "$copia" && zip -q -r -X "$zip" Halvora.app)
echo "$zip"
