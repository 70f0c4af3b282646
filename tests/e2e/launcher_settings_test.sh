#!/usr/bin/env bash
# The launcher's settings: on every start the machine's sections (Host, App, logger) replace
# the user's, the user's other sections stay, and a new user starts with the machine's file.
# Run in a tree laid out as the package lays it out, with a program that only says it ran.
#
#   launcher_settings_test.sh LAUNCHER
set -euo pipefail

launcher=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

root=$work/root
mkdir -p "$root/usr/bin" "$root/opt/parvelo" "$root/etc/parvelo"
install -m 755 "$launcher" "$root/usr/bin/parvelo"
printf '#!/bin/sh\necho started\n' >"$root/opt/parvelo/parvelo"
chmod +x "$root/opt/parvelo/parvelo"

# name | the machine's file | the user's file before the start ("-": none) | the user's file
# after it. Texts are printf formats.
cases=(
  "new user gets the machine's file|[Host]\nHost=http://school/\n[CheckRecTip]\nRecTip=yes\n|-|[Host]\nHost=http://school/\n[CheckRecTip]\nRecTip=yes\n"
  "machine's Host replaces the user's, tip kept|[Host]\nHost=http://new/\n[CheckRecTip]\nRecTip=yes\n|[Host]\nHost=http://old/\n[CheckRecTip]\nRecTip=no\n|[Host]\nHost=http://new/\n[CheckRecTip]\nRecTip=no\n"
  "Title and logger are the machine's too|[App]\nTitle=School\n[logger]\nlevel=7\n|[App]\nTitle=Mine\n[logger]\nlevel=39\nfile=my.log\n[Extra]\nk=v\n|[App]\nTitle=School\n[logger]\nlevel=7\n[Extra]\nk=v\n"
  "a section the machine dropped goes|[Host]\nHost=http://new/\n|[logger]\nlevel=39\n[Host]\nHost=http://old/\n|[Host]\nHost=http://new/\n"
  "section names in any case and with blanks|[HOST]\nHost=http://new/\n|  [ host ]  \nHost=http://old/\n[ App\nTitle=x\n[CheckRecTip]\nRecTip=no\n|[HOST]\nHost=http://new/\n[CheckRecTip]\nRecTip=no\n"
  "lines before any section stay first|[Host]\nHost=http://new/\n|; note\n[CheckRecTip]\nRecTip=no\n|; note\n[Host]\nHost=http://new/\n[CheckRecTip]\nRecTip=no\n"
  "user's CR LF lines kept|[Host]\nHost=http://new/\n|[Host]\r\nHost=http://old/\r\n[CheckRecTip]\r\nRecTip=no\r\n|[Host]\nHost=http://new/\n[CheckRecTip]\r\nRecTip=no\r\n"
  "GBK text kept byte for byte|[App]\nTitle=\xb4\xf3\xd1\xa7\n|[App]\nTitle=x\n[CheckRecTip]\nRecTip=\xb7\xf1\n|[App]\nTitle=\xb4\xf3\xd1\xa7\n[CheckRecTip]\nRecTip=\xb7\xf1\n"
  "the pinned certificates go with Host, the user's pin goes|[Host]\nHost=https://school/\nCertificateSHA256=AB:CD\n|[Host]\nHost=https://school/\nCertificateSHA256=EF01\n[CheckRecTip]\nRecTip=no\n|[Host]\nHost=https://school/\nCertificateSHA256=AB:CD\n[CheckRecTip]\nRecTip=no\n"
  "a pin the machine dropped goes|[Host]\nHost=https://school/\n|[Host]\nHost=https://school/\nCertificateSHA256=EF01\n|[Host]\nHost=https://school/\n"
  "a key named like a section is no section|[Host]\nHost=http://new/\n|[Mine]\nHost=[Host]\n|[Host]\nHost=http://new/\n[Mine]\nHost=[Host]\n"
)

for entry in "${cases[@]}"; do
  IFS='|' read -r name machine user expected <<<"$entry"
  home=$work/home
  rm -rf "$home"
  settings=$home/.local/share/parvelo/install/Conf.ini
  # shellcheck disable=SC2059
  printf "$machine" >"$root/etc/parvelo/Conf.ini"
  if [[ $user != - ]]; then
    mkdir -p "$(dirname "$settings")"
    # shellcheck disable=SC2059
    printf "$user" >"$settings"
  fi
  started=$(env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo") ||
    { fail "$name: the launcher failed"; continue; }
  [[ $started == started ]] || fail "$name: the program did not start: '$started'"
  # shellcheck disable=SC2059
  cmp -s <(printf "$expected") "$settings" ||
    fail "$name: the user's settings are$(printf '\n%s' "$(cat -A "$settings")")"
done

# Without a machine's file the user's settings are left as they are.
home=$work/home
rm -f "$root/etc/parvelo/Conf.ini"
printf '[Host]\nHost=http://own/\n' >"$home/.local/share/parvelo/install/Conf.ini"
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo" >/dev/null || fail "no machine file: the launcher failed"
[[ $(cat "$home/.local/share/parvelo/install/Conf.ini") == $'[Host]\nHost=http://own/' ]] ||
  fail "no machine file: the user's settings changed"

# The file is replaced whole, never written into: a client reading it meanwhile sees the old or
# the new one. A start that changes nothing leaves it alone.
printf '[Host]\nHost=http://new/\n' >"$root/etc/parvelo/Conf.ini"
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo" >/dev/null
before=$(stat -c %i "$home/.local/share/parvelo/install/Conf.ini")
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo" >/dev/null
[[ $(stat -c %i "$home/.local/share/parvelo/install/Conf.ini") == "$before" ]] ||
  fail "a start with nothing to change rewrote the settings"
printf '[Host]\nHost=http://newer/\n' >"$root/etc/parvelo/Conf.ini"
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo" >/dev/null
[[ $(stat -c %i "$home/.local/share/parvelo/install/Conf.ini") != "$before" ]] ||
  fail "the settings were written in place"
leftovers=$(find "$home/.local/share/parvelo/install" -name 'Conf.ini.*')
[[ -z $leftovers ]] || fail "temporary files left: $leftovers"

# A settings file an older package left in the shared installation is never linked in.
printf '[Host]\nHost=http://stale/\n[CheckRecTip]\nRecTip=yes\n' >"$root/opt/parvelo/Conf.ini"
printf '[Host]\nHost=http://x/\n[CheckRecTip]\nRecTip=no\n' >"$home/.local/share/parvelo/install/Conf.ini"
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/parvelo" >/dev/null
[[ ! -L $home/.local/share/parvelo/install/Conf.ini ]] || fail "the stale shared settings were linked"
grep -q RecTip=no "$home/.local/share/parvelo/install/Conf.ini" || fail "the stale shared settings replaced the user's"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "launcher settings checked"
