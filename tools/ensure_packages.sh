#!/usr/bin/env bash
# Makes sure the named Debian packages are installed: installs the missing ones with
# apt-get when run as root, otherwise names them and fails.
#
# usage: tools/ensure_packages.sh PACKAGE...
set -eu
missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are needed but not installed: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get install ${missing[*]}   (or run this command as root)" >&2
  exit 1
fi
echo "Installing ${missing[*]} ..." >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >&2
apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
