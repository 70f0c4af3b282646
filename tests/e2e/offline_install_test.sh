#!/usr/bin/env bash
# A lab machine that reaches nothing installs the package and starts the client: run as root in
# a fresh Debian tree, in a network namespace with only its loopback, after apt has downloaded
# what the package depends on (scripts/test-in-debian13 prepares that). The package's maintainer
# scripts name no program that reaches the network, apt installs the package from the local file,
# and a student's first start through the launcher, under a private Xvfb, shows the demo
# platform served on 127.0.0.1, as the client's log tells with the machine's log level.
# Any download at install or at the first start would fail here.
#
#   offline_install_test.sh DEB DEMO-PLATFORM-DIR
set -euo pipefail

deb=$(readlink -f "$1")
demo=$2
work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 120 s for the command to succeed.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 1200); do
    "$@" && return 0
    sleep 0.1
  done
  echo "FAIL: timed out waiting for $what" >&2
  return 1
}

# The network is cut: the npm registry (or anything else) is unreachable, the loopback works.
if python3 -c 'import socket; socket.create_connection(("registry.npmjs.org", 443), timeout=10)' \
  2>/dev/null; then
  echo "FAIL: the npm registry is reachable: this test needs a machine without network" >&2
  exit 1
fi

failures=0
# The package's maintainer scripts call no program that reaches the network.
dpkg-deb -e "$deb" "$work/control"
network_tools='curl|wget|npm|npx|yarn|pnpm|pip|pip3|git|apt|apt-get|aptitude|ssh|scp|rsync|nc|ncat|socat|ftp|telnet'
for script in preinst postinst prerm postrm config triggers; do
  [[ -f $work/control/$script ]] || continue
  if grep -nwE "$network_tools" "$work/control/$script" >"$work/network-calls"; then
    echo "FAIL: the package's $script calls the network:$(printf '\n%s' "$(cat "$work/network-calls")")" >&2
    failures=$((failures + 1))
  fi
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  -o Acquire::Retries=0 "$deb" || {
  echo "FAIL: apt-get install $deb without network" >&2
  exit 1
}

# The demo platform on the loopback; its first output line names the address it serves.
python3 "$demo/server.py" --port 0 >"$work/platform.out" 2>&1 &
pids+=($!)
served() { head -n 1 "$work/platform.out" | grep -o 'http://127\.0\.0\.1:[0-9]*'; }
wait_until "the demo platform" served >/dev/null
address=$(served)

# The administrator points the machine at the platform and asks for the DBG lines.
settings=/etc/parvelo/Conf.ini
sed -i "s|^Host=.*|Host=$address/Home/|; s|^level=.*|level=39|" "$settings"
grep -qx "Host=$address/Home/" "$settings" || { echo "FAIL: Host not set in $settings" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$work/xvfb.out" 2>&1 &
pids+=($!)
wait_until "Xvfb" test -S "/tmp/.X11-unix/X${display#:}"

# An ordinary user, started as a desktop session starts the menu entry's command. The browser's
# sandbox needs user namespaces, which the kernel refuses inside a chroot.
user=student$$
useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
runtime=$work/run
mkdir -m 700 "$runtime"
chown "$user:" "$runtime"
setpriv --reuid="$user" --regid="$user" --init-groups \
  env -i PATH=/usr/bin:/bin HOME="$home" USER="$user" XDG_RUNTIME_DIR="$runtime" \
  DISPLAY="$display" QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1 \
  parvelo >"$work/client.out" 2>&1 &
client=$!
pids+=("$client")

log=$home/.local/share/parvelo/install/zoravoraz.log
platform_shown() { grep -qF "document complete: $address/" "$log" 2>/dev/null; }
client_runs() { kill -0 "$client" 2>/dev/null; }
for _ in $(seq 1200); do
  platform_shown && break
  client_runs || break
  sleep 0.1
done
if ! platform_shown; then
  echo "FAIL: the client's first start did not show $address/Home/" >&2
  for file in "$work/client.out" "$log" "$work/platform.out"; do
    [[ -f $file ]] && { echo "---- $file" >&2; tail -n 40 "$file" >&2; }
  done
  exit 1
fi
((failures == 0)) || exit 1
echo "installed and started without network: $(grep -F "document complete: $address/" "$log" | head -n 1)"
