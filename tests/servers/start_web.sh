#!/bin/bash
# Starts the web servers of the end-to-end tests (web_server.py) with a
# fresh test CA, the server certificates it signed and a self-signed one, and
# makes the run's Wine prefix trust that CA (and only that prefix).
#   start_web.sh <state dir>
# Needs HS_WINE_STATE (the Wine fixture's state). Writes <state>/web.pid and
# <state>/ports; stop_web.sh undoes everything by PID and thumbprint.
set -eu
state=$1
here=$(cd "$(dirname "$0")" && pwd)
"$here/stop_web.sh" "$state" >/dev/null 2>&1 || true
rm -rf "$state"
mkdir -p "$state/www"
cd "$state"

quiet() { "$@" >/dev/null 2>&1 || { echo "failed: $*"; "$@"; exit 1; }; }
# Wine ignores IP-address names in certificates: the server certificate
# names 127.0.0.1 as a DNS name too.
quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout ca.key -out ca.pem \
  -subj "/CN=Halvorsight Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
quiet openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1"
printf 'subjectAltName=DNS:127.0.0.1,DNS:localhost,IP:127.0.0.1\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' >server.ext
quiet openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -out server.pem -extfile server.ext
quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout untrusted.key -out untrusted.pem \
  -subj "/CN=127.0.0.1" -addext "subjectAltName=DNS:127.0.0.1,IP:127.0.0.1"
# A certificate from a CA nobody trusts, sent without its CA: the chain
# ends short of any root.
quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout stranger-ca.key -out stranger-ca.pem \
  -subj "/CN=Stranger CA" -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
quiet openssl req -newkey rsa:2048 -nodes -keyout stranger.key -out stranger.csr -subj "/CN=127.0.0.1"
quiet openssl x509 -req -in stranger.csr -CA stranger-ca.pem -CAkey stranger-ca.key -CAcreateserial -days 2 \
  -out stranger.pem -extfile server.ext

# Certificates for another name, expired, for clients, revoked (CRL on http), and with a CRL that
# never comes. New serials each run: Wine caches revocation answers by serial, and wrongly.
http_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir ca.db && : >ca.db/index.txt && echo "10$(openssl rand -hex 7)" >ca.db/serial
printf '%s\n' '[ca]' 'default_ca = test' '[test]' 'database = ca.db/index.txt' 'serial = ca.db/serial' \
  'new_certs_dir = ca.db' 'certificate = ca.pem' 'private_key = ca.key' 'default_md = sha256' \
  'default_days = 2' 'default_crl_days = 2' 'policy = any' 'unique_subject = no' '[any]' 'commonName = supplied' >ca.cnf
issue() {  # issue <name> <extensions, \n between> [openssl ca options]
  printf '%b\nbasicConstraints=CA:FALSE\n' "$2" >"$1.ext"
  quiet openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=127.0.0.1"
  quiet openssl ca -batch -config ca.cnf -in "$1.csr" -out "$1.pem" -extfile "$1.ext" "${@:3}"
}
good='subjectAltName=DNS:127.0.0.1\nextendedKeyUsage=serverAuth\ncrlDistributionPoints=URI:http://127.0.0.1'
issue wrongname 'subjectAltName=DNS:wrong.example.test\nextendedKeyUsage=serverAuth'
issue expired 'subjectAltName=DNS:127.0.0.1\nextendedKeyUsage=serverAuth' -startdate 20200101000000Z -enddate 20200201000000Z
issue clientonly 'subjectAltName=DNS:127.0.0.1\nextendedKeyUsage=clientAuth'
issue revoked "$good:$http_port/files/test-ca.crl"
issue crlstall "$good:$http_port/headers-then-silence"
quiet openssl ca -batch -config ca.cnf -revoke revoked.pem
quiet openssl ca -batch -config ca.cnf -gencrl -out test-ca.crl.pem
quiet openssl crl -in test-ca.crl.pem -outform DER -out www/test-ca.crl

# The CA into the prefix's Root store: the blob is 0x20, 1, the DER length
# (each 32-bit little-endian) and the DER bytes.
der=$(openssl x509 -in ca.pem -outform DER | od -An -v -tx1 | tr -d ' \n')
le32() { printf '%08x' "$1" | sed -E 's/(..)(..)(..)(..)/\4\3\2\1/'; }
thumb=$(openssl x509 -in ca.pem -noout -fingerprint -sha1 | sed 's/.*=//; s/://g' | tr 'a-f' 'A-F')
echo "$thumb" >ca.thumbprint
export WINEPREFIX="${HS_WINE_STATE:?HS_WINE_STATE must name the wine state directory}/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 reg add "HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumb" \
  /v Blob /t REG_BINARY /d "$(le32 32)$(le32 1)$(le32 $(( ${#der} / 2 )))$der" /f >/dev/null 2>&1 </dev/null

# The browser the shell falls back to (Wine's winebrowser runs the Unix
# programs of HKCU\Software\Wine\WineBrowser "Browsers"): it notes the
# address it was given in browser.log.
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/browser.log"\n' "$state" >fake-browser.sh
chmod +x fake-browser.sh

python3 "$here/web_server.py" "$state" "$http_port" >"$state/server.log" 2>&1 </dev/null &
echo $! >"$state/web.pid"
for _ in $(seq 1 100); do
  [ -s "$state/ports" ] && break
  kill -0 "$(cat "$state/web.pid")" 2>/dev/null || break
  sleep 0.1
done
[ -s "$state/ports" ] || { echo "web servers did not start"; cat "$state/server.log"; exit 1; }
echo "web servers: $(tr '\n' ' ' <"$state/ports")"
