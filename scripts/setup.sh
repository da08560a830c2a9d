#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing; does
# nothing when everything is there already.
set -euo pipefail
packages=(cmake ninja-build g++ clang clang-format libgtest-dev libgmock-dev libbenchmark-dev python3 "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
