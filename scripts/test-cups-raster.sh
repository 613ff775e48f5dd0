#!/usr/bin/env bash
# Adds three raster laser queues that write what the printer would get into files:
# Tavisto_Raster_Plus90, Tavisto_Raster_Minus90 and Tavisto_Raster_None. They differ only in
# the PPD's *LandscapeOrientation, which decides which way the spooler turns a landscape
# page; the printing tests compare where the ink lands on all three.
# Their PPD is made here from cups-filters' generic IPP Everywhere PPD, with uneven margins
# (12 pt left, 18 pt bottom, 24 pt right, 30 pt top) so that a page turned the wrong way shows.
# Printing tests skip outside CI when this is not possible; under CI=true it must work.
set -uo pipefail

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi

fail() {
  echo "test-cups-raster: $*" >&2
  if [[ "${CI:-}" == "true" ]]; then exit 1; fi
  exit 0
}

QUEUES=(Tavisto_Raster_Plus90 Tavisto_Raster_Minus90 Tavisto_Raster_None)
SPOOL=/var/spool/tavisto-raster
BASE_PPD=drv:///cupsfilters.drv/pwgrast.ppd
# Raised whenever the PPD changes below, so that existing queues are made again.
REVISION=1

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

wait_for_scheduler() {
  for _ in $(seq 1 100); do
    scheduler_running && return 0
    sleep 0.2
  done
  return 1
}

command -v cupsd >/dev/null || fail "cupsd is not installed"
if ! scheduler_running; then
  $SUDO cupsd || fail "cupsd could not be started"
  wait_for_scheduler || fail "the CUPS scheduler does not answer"
fi

# The scheduler refuses file: devices unless cups-files.conf allows them.
conf=/etc/cups/cups-files.conf
if ! grep -Eq '^[[:space:]]*FileDevice[[:space:]]+(Yes|yes|On|on|True|true)[[:space:]]*$' "$conf"; then
  if grep -Eq '^[[:space:]]*FileDevice[[:space:]]' "$conf"; then
    $SUDO sed -i -E 's/^[[:space:]]*FileDevice[[:space:]].*/FileDevice Yes/' "$conf" || fail "cannot edit $conf"
  else
    # On a line of its own even when the file does not end with a line break.
    { [[ -z "$(tail -c 1 "$conf")" ]] || echo; echo "FileDevice Yes"; } | $SUDO tee -a "$conf" >/dev/null ||
      fail "cannot edit $conf"
  fi
  # Jobs still printing would be cut off by the restart; give them a moment.
  for _ in $(seq 1 60); do
    [[ -z "$(lpstat -o 2>/dev/null)" ]] && break
    sleep 0.5
  done
  if [[ -d /run/systemd/system ]] && systemctl is-active --quiet cups 2>/dev/null; then
    $SUDO systemctl restart cups || fail "cups could not be restarted"
  else
    # Started by hand (a container, scripts/test-cups.sh): stop that process and start anew.
    for pid in $(pgrep -x cupsd); do
      $SUDO kill "$pid"
      for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
    done
    $SUDO cupsd || fail "cupsd could not be started again"
  fi
  wait_for_scheduler || fail "the CUPS scheduler did not come back after the restart"
fi

# cupsd opens the device file itself, as root, creating it with mode 0600. Made beforehand
# and left readable and writable for everyone, the tests (run by an ordinary user) can
# empty it before a job and read it afterwards: the scheduler truncates it but keeps its mode.
$SUDO mkdir -p "$SPOOL" || fail "cannot create $SPOOL"
$SUDO chmod 0755 "$SPOOL"
for q in "${QUEUES[@]}"; do
  f="$SPOOL/$q.pwg"
  [[ -f "$f" ]] || $SUDO touch "$f"
  $SUDO chmod 0666 "$f"
done

up_to_date() {
  local q=$1
  lpstat -p "$q" >/dev/null 2>&1 || return 1
  # lpstat shows a file: device without its scheme.
  lpstat -v "$q" 2>/dev/null | grep -q "$SPOOL/$q.pwg" || return 1
  $SUDO grep -q "^\*TavistoRasterRevision: \"$REVISION\"" "/etc/cups/ppd/$q.ppd" 2>/dev/null
}

need=0
for q in "${QUEUES[@]}"; do up_to_date "$q" || need=1; done

if [[ $need -eq 1 ]]; then
  work=$(mktemp -d) || fail "mktemp failed"
  trap 'rm -rf "$work"' EXIT

  # The distribution's PPD as the scheduler would install it.
  driverd=""
  for d in /usr/lib/cups/daemon/cups-driverd /usr/libexec/cups/daemon/cups-driverd; do
    [[ -x "$d" ]] && driverd=$d && break
  done
  if [[ -n "$driverd" ]]; then
    "$driverd" cat "$BASE_PPD" >"$work/base.ppd" 2>/dev/null
  fi
  if ! grep -q '^\*PPD-Adobe' "$work/base.ppd" 2>/dev/null; then
    # No driver daemon to ask directly: let the scheduler install it on a throwaway queue.
    $SUDO lpadmin -p Tavisto_Raster_Probe -v file:///dev/null -m "$BASE_PPD" || fail "no PPD $BASE_PPD (cups-filters)"
    $SUDO cat /etc/cups/ppd/Tavisto_Raster_Probe.ppd >"$work/base.ppd"
    $SUDO lpadmin -x Tavisto_Raster_Probe
  fi
  grep -q '^\*PPD-Adobe' "$work/base.ppd" || fail "no PPD $BASE_PPD (cups-filters)"

  # A monochrome laser printer: uneven margins on every size, A4 by default, 300 and 600 dpi,
  # an automatic tray, a main tray and a manual feeder, 8-bit grey.
  # ImageableArea is "left bottom right top" in points from the sheet's lower left corner.
  awk -v rev="$REVISION" '
    BEGIN { L = 12; B = 18; R = 24; T = 30 }
    /^\*LandscapeOrientation:/ { next }
    /^\*ColorDevice:/ { print "*ColorDevice: False"; next }
    /^\*DefaultColorSpace:/ { print "*DefaultColorSpace: Gray"; next }
    /^\*Default(PageSize|PageRegion|ImageableArea|PaperDimension):/ { sub(/:.*/, ": A4"); print; next }
    /^\*ImageableArea / {
      n = split($0, q, "\"")
      split(q[2], v, " ")
      printf "%s\"%.2f %.2f %.2f %.2f\"\n", q[1], v[1] + L, v[2] + B, v[3] - R, v[4] - T
      next
    }
    /^\*HWMargins:/ { printf "*HWMargins: %d %d %d %d\n", L, B, R, T; next }
    /^\*InputSlot / && $2 !~ /^(Auto|Main|Manual)\// { next }
    /^\*Resolution / && $2 !~ /^(300dpi|600dpi)\// { next }
    /^\*DefaultResolution:/ { print "*DefaultResolution: 600dpi"; next }
    /^\*PwgRasterDocumentType / && $2 !~ /^(Black_1|Black_8|SGray_8)\// { next }
    /^\*DefaultPwgRasterDocumentType:/ { print "*DefaultPwgRasterDocumentType: SGray_8"; next }
    /^\*(NickName|ShortNickName|ModelName):/ { sub(/".*"/, "\"Tavisto Raster Test Laser\"") }
    { print }
    /^\*PWGRaster:/ { printf "*TavistoRasterRevision: \"%s\"\n", rev }
  ' "$work/base.ppd" >"$work/common.ppd" || fail "cannot rewrite the PPD"

  grep -q '^\*ImageableArea EnvDL/' "$work/common.ppd" || fail "the PPD has no DL envelope size"
  grep -q '^\*InputSlot Manual/' "$work/common.ppd" || fail "the PPD has no manual feeder"

  for q in "${QUEUES[@]}"; do
    variant=${q#Tavisto_Raster_}
    ppd="$work/$q.ppd"
    if [[ "$variant" == None ]]; then
      cp "$work/common.ppd" "$ppd"
    else
      # Next to the other general attributes, before the first option.
      awk -v v="$variant" '/^\*OpenUI/ && !done { print "*LandscapeOrientation: " v; done = 1 } { print }' \
        "$work/common.ppd" >"$ppd"
      grep -q "^\*LandscapeOrientation: $variant" "$ppd" || fail "cannot set LandscapeOrientation in $q"
    fi
    chmod 0644 "$ppd"
    $SUDO lpadmin -p "$q" -D "Tavisto raster test ($variant)" -v "file://$SPOOL/$q.pwg" -P "$ppd" \
      -o printer-error-policy=abort-job -o printer-is-shared=false || fail "lpadmin $q failed"
  done
fi

for q in "${QUEUES[@]}"; do
  $SUDO cupsenable "$q" || fail "cupsenable $q failed"
  $SUDO cupsaccept "$q" || fail "cupsaccept $q failed"
done
echo "test-cups-raster: queues ${QUEUES[*]} write to $SPOOL"
