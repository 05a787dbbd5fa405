#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are missing,
# and makes sure the Czech locale exists (the tests check that numbers keep a
# decimal point under a decimal-comma locale).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

missing=()
while read -r pkg; do
  case "$pkg" in ''|'#'*) continue ;; esac
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done < "$here/packages.txt"

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  if [ -f /etc/locale.gen ]; then
    $sudo sed -i 's/^# *\(cs_CZ.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^cs_CZ.UTF-8 UTF-8' /etc/locale.gen || echo 'cs_CZ.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
fi
