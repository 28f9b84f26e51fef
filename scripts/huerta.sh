#!/usr/bin/env bash
# Builds Huerta on Debian 12 and starts it, or runs its tests.
#   scripts/huerta.sh          install what is missing, build, start the program
#   scripts/huerta.sh test     install what is missing, build, run every test
#                              (printing on a print server of their own:
#                              scripts/impresora_prueba.sh)
#   scripts/huerta.sh deps     only install what is missing
#   scripts/huerta.sh bench [N ...]  build, then time the program on gardens of
#                              N times the plan rows (default 1 4 16)
set -euo pipefail
cd "$(dirname "$0")/.."

PAQUETES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-private-dev qt6-svg-dev qt6-webengine-dev libqt6sql6-sqlite qt6-qpa-plugins libgl-dev
  libshp-dev libsqlite3-dev sqlite3
  fonts-dejavu-core xvfb xauth qt6-translations-l10n
  cups-daemon cups-client libcups2-dev poppler-utils
)

instalar_lo_que_falta() {
  local faltan=()
  for p in "${PAQUETES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
  done
  [ ${#faltan[@]} -gt 0 ] || return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Faltan paquetes: ${faltan[*]}" >&2
      echo "Instálalos como root (por ejemplo tras «su -») con esta orden y vuelve a empezar:" >&2
      echo "  apt-get update && apt-get install -y --no-install-recommends ${faltan[*]}" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Instalando: ${faltan[*]}"
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${faltan[@]}"
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
    exec bash scripts/impresora_prueba.sh ctest --test-dir build --output-on-failure --parallel "$(nproc)"
    ;;
  bench)
    escalas=("${@:2}")
    [ ${#escalas[@]} -gt 0 ] || escalas=(1 4 16)
    exec bash scripts/impresora_prueba.sh sh -c 'for e; do build/bench/huerta_bench --escala "$e" || exit; done' \
      bench "${escalas[@]}"
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
