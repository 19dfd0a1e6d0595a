#!/usr/bin/env bash
# Installs what is missing, builds the bench preset (optimised, with the benchmarks) and prints
# the performance table: each figure's median beside its floor measured in the same run.
# The windows run on an X display of their own that offers OpenGL through Mesa, as a desktop
# does, and in a session bus of their own. Extra arguments go to the runner, e.g. --runs 21.
# Exits 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/setup.sh scripts/packages-bench.txt

# Each program started in the background gets a process group of its own, which ends with the
# bench however it ends: with it go whatever that program started, a D-Bus or an X client.
set -m
work=$(mktemp -d)
groups=()
finish() {
    for group in "${groups[@]}"; do kill -KILL -- "-$group" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The build too, so that a bench stopped while it builds stops the build.
cmake --preset bench >/dev/null
cmake --build --preset bench </dev/null &
groups+=($!)
wait $!

# Waits up to 10 s for a file that a program in the background writes once it is ready.
await() {
    for _ in $(seq 100); do
        [[ -s "$1" ]] && return 0
        sleep 0.1
    done
    echo "$2 did not start" >&2
    exit 2
}

# Xvfb picks a free display and writes its number to the descriptor given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null </dev/null &
groups+=($!)
await "$work/display" Xvfb
export DISPLAY=":$(head -n 1 "$work/display")"
if ! grep -qx ' *GLX' <<<"$(xdpyinfo)"; then
    echo "the X display $DISPLAY offers no GLX" >&2
    exit 2
fi

# The server of the send beside msmtp: the tests' SMTP peer over STARTTLS with a certificate of
# its own, whose authority is added to a copy of the system's store, as a bundle for msmtp and
# as a hashed folder for the command, so that each reads the system's certificates as it does
# from /etc/ssl/certs.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1,DNS:127.0.0.1 \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
mkdir "$work/store"
cp -L /etc/ssl/certs/*.pem "$work/store/"
cp "$work/cert.pem" "$work/store/zelvo-bench.pem"
openssl rehash "$work/store"
cat /etc/ssl/certs/ca-certificates.crt "$work/cert.pem" >"$work/bundle.pem"
umask 077
printf 'secret\n' >"$work/password"
/usr/bin/python3 tests/support/smtp_peer.py "{\"password\": \"secret\",
    \"cert\": \"$work/cert.pem\", \"key\": \"$work/key.pem\",
    \"events\": \"$work/mails.jsonl\", \"ready\": \"$work/ready\"}" </dev/null >/dev/null 2>&1 &
groups+=($!)
await "$work/ready" "the SMTP server"
port=$(sed -n 's/^READY //p' "$work/ready")
cat >"$work/msmtprc" <<EOF
account bench
host 127.0.0.1
port $port
tls on
tls_starttls on
tls_trust_file $work/bundle.pem
auth plain
user 13806012345
password secret
from 13806012345@139.com
account default : bench
EOF
# msmtp sends the very mail the command composes.
build/bench/bench/zelvo-bench-send "$port" "$work/store" --dry-run --from 13806012345@139.com \
    13806012345 '今晚七点老地方见, 不见不散!' >"$work/mail.eml"

# The windows would otherwise start a session bus of their own (dbus-launch), which outlives them.
dbus-run-session -- build/bench/bench/zelvo-bench --send-server "$work" "$port" "$@" </dev/null &
runner=$!
groups+=("$runner")
status=0
wait "$runner" || status=$?
exit "$status"
