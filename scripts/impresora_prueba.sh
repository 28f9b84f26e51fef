#!/usr/bin/env bash
# Runs a command beside a print server of its own, so that tests print on paper
# of their own and never on the machine's printers:
#   scripts/impresora_prueba.sh COMMAND [ARGS...]
# A private cupsd keeps its configuration, spool, logs and socket in a new
# temporary folder and holds one queue, PDF, its default destination, whose
# device writes every job (the PDF as the program sent it) into that folder.
# The command runs with CUPS_SERVER set to the private socket (libcups, and so
# QPrinter, talk to no other server) and HUERTA_PDF_DIR set to the folder where
# the jobs land, one file trabajo-N.pdf a job, and with a HOME of its own in
# the folder (see below). Whatever happens, the server stops and the folder
# goes; the exit code is the command's. Works as root and as an ordinary user;
# nothing on the machine changes.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "uso: $0 ORDEN [ARGUMENTOS...]" >&2
  exit 2
fi
PATH="$PATH:/usr/sbin:/sbin" # cupsd and lpadmin, also for a user
cupsd=$(command -v cupsd || true)
if [ -z "$cupsd" ] || ! command -v lpadmin >/dev/null; then
  echo "Faltan cupsd o lpadmin (paquetes cups-daemon y cups-client)." >&2
  exit 1
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/huerta-cups.XXXXXX")
servidor=""
parar() {
  if [ -n "$servidor" ]; then
    kill "$servidor" 2>/dev/null || true
    wait "$servidor" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap parar EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mkdir -p "$dir"/{etc,spool/tmp,cache,estado,log,bin/backend,pdf}
# The server's programs are the system's, but its only backend is ours: no job
# can leave for a real device, whatever queue someone adds.
for d in cgi-bin daemon filter monitor notifier; do
  [ -e "/usr/lib/cups/$d" ] && ln -s "/usr/lib/cups/$d" "$dir/bin/$d"
done
cat >"$dir/bin/backend/huerta" <<'EOF'
#!/bin/sh
# Writes each job whole into the folder of the device URI (huerta:/folder).
[ $# -eq 0 ] && { echo 'direct huerta "Huerta" "Huerta test PDF"'; exit 0; }
destino="${DEVICE_URI#huerta:}/trabajo-$1.pdf"
if [ $# -ge 6 ]; then cat "$6"; else cat; fi >"$destino.part" && mv "$destino.part" "$destino"
EOF
# A4 paper for the programs that ask; PDF goes to the backend as it came,
# through no filter.
cat >"$dir/etc/huerta.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "HUERTA.PPD"
*Manufacturer: "Huerta"
*Product: "(Huerta)"
*ModelName: "Huerta PDF"
*ShortNickName: "Huerta PDF"
*NickName: "Huerta PDF"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
EOF
# Mode 0700: as root the server runs the backend as root, as it must to
# write into this folder; as a user, everything runs as that user anyway.
chmod 0700 "$dir/bin/backend/huerta"

cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/estado
ServerBin $dir/bin
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice No
EOF
# Only the socket, in a folder that only this user (and root) can enter.
cat >"$dir/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $dir/sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
</Policy>
EOF

# Clients, the command among them, see only the private server: its socket,
# its configuration folder instead of /etc/cups, a home of their own (so no
# ~/.cups/lpoptions or client.conf of the user's), and no printer named by the
# variables that choose one; so the default destination is PDF.
mkdir "$dir/casa"
export CUPS_SERVER="$dir/sock" CUPS_SERVERROOT="$dir/etc" CUPS_STATEDIR="$dir/estado" HOME="$dir/casa"
export HUERTA_PDF_DIR="$dir/pdf"
unset LPDEST PRINTER CUPS_SERVERBIN LISTEN_FDS LISTEN_PID

# AppArmor confines the system's cupsd (by its path) to the system's folders:
# a copy under this folder runs as a plain process of this user. It gets TERM
# should this script die without its traps.
cp "$cupsd" "$dir/bin/cupsd"
setpriv --pdeathsig TERM "$dir/bin/cupsd" -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" &
servidor=$!
for _ in $(seq 1 300); do
  [ -S "$dir/sock" ] && lpstat -r 2>/dev/null | grep -q "is running" && break
  kill -0 "$servidor" 2>/dev/null || break
  sleep 0.1
done
if ! lpstat -r 2>/dev/null | grep -q "is running" \
   || ! lpadmin -p PDF -E -v "huerta:$dir/pdf" -P "$dir/etc/huerta.ppd" 2>"$dir/log/lpadmin" \
   || ! lpadmin -d PDF 2>>"$dir/log/lpadmin"; then
  echo "No se ha podido arrancar el servidor de impresión de prueba:" >&2
  cat "$dir/log/error_log" "$dir/log/lpadmin" 2>/dev/null >&2 || true
  exit 1
fi

set +e
"$@"
codigo=$?
set -e
exit "$codigo"
