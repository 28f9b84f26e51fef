#!/usr/bin/env bash
# Builds Huerta on Debian 12 and starts it, or runs its tests.
#   scripts/huerta.sh          install what is missing, build, start the program
#   scripts/huerta.sh test     install what is missing, build, run every test
#   scripts/huerta.sh deps     only install what is missing
#   scripts/huerta.sh bench [N ...]  build, then time the program on gardens of
#                              N times the plan rows (default 1 4 16)
set -euo pipefail
cd "$(dirname "$0")/.."

PAQUETES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-private-dev qt6-svg-dev qt6-webengine-dev libqt6sql6-sqlite qt6-qpa-plugins libgl-dev
  libshp-dev libsqlite3-dev sqlite3
  fonts-dejavu-core xvfb xauth
  cups cups-client libcups2-dev printer-driver-cups-pdf poppler-utils
)

instalar_lo_que_falta() {
  local faltan=()
  for p in "${PAQUETES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
  done
  if [ ${#faltan[@]} -gt 0 ]; then
    echo "Instalando: ${faltan[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${faltan[@]}"
  fi
}

compilar() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build --parallel
}

instalar_lo_que_falta
[ "${1:-run}" = deps ] && exit 0
compilar

case "${1:-run}" in
  test)
    ctest --test-dir build --output-on-failure --parallel "$(nproc)"
    ;;
  bench)
    escalas=("${@:2}")
    [ ${#escalas[@]} -gt 0 ] || escalas=(1 4 16)
    for e in "${escalas[@]}"; do
      build/bench/huerta_bench --escala "$e"
    done
    ;;
  run)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No hay pantalla: se arranca en una pantalla virtual (Xvfb)."
      exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/huerta
    fi
    exec build/bin/huerta
    ;;
  *)
    echo "uso: $0 [run|test|deps|bench [N ...]]" >&2
    exit 2
    ;;
esac
