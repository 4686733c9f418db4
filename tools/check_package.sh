#!/usr/bin/env bash
# Checks the package tools/package.sh made: its control fields, the
# dependencies found from the linked libraries, its maintainer scripts and
# every file a centre needs. Status 77 (skipped) when no package was built.
set -uo pipefail
dir=${1:?katalog pakietu}
deb=$(ls "$dir"/kestrel4_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "brak pakietu w $dir (tools/package.sh go buduje)"
  exit 77
fi
status=0
fail() { echo "BŁĄD: $*"; status=1; }

info=$(dpkg-deb --info "$deb") || fail "dpkg-deb --info $deb"
contents=$(dpkg-deb --contents "$deb") || fail "dpkg-deb --contents $deb"
echo "$info"
echo "$contents"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kestrel4 ] || fail "Package: $(field Package)"
depends=$(field Depends)
# The libraries the programs are linked with, each with its package.
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6dbus6 \
               libqt6multimedia6 libqt6printsupport6 libcups2 libc6 libstdc++6; do
  [[ ", $depends," == *", $library"[\ ,]* ]] || fail "Depends bez $library: $depends"
done
[[ ", $depends," == *", adduser,"* ]] || fail "Depends bez adduser"
# The synopsis and a description of whole lines.
[ "$(field Description | head -n 1)" = "Kestrel4 - stacja operatora centrum monitorowania alarmów" ] ||
  fail "Description: $(field Description | head -n 1)"
field Description | grep -q ';' && fail "Description z ';' (lista CMake)"
for script in postinst prerm postrm conffiles; do
  grep -Eq "^ +[0-9]+ bytes, +[0-9]+ lines +\*? *$script" <<<"$info" || fail "brak skryptu $script"
done

for path in ./usr/bin/kestrel4 ./usr/bin/kestrel4-admin ./usr/bin/kestrel4-sim ./usr/bin/kestrel4-wavgen \
            ./usr/lib/systemd/system/kestrel4@.service ./usr/lib/systemd/system/kestrel4-kiosk@.service \
            ./usr/lib/sysusers.d/kestrel4.conf ./usr/lib/tmpfiles.d/kestrel4.conf ./etc/pam.d/kestrel4-kiosk \
            ./usr/share/bash-completion/completions/kestrel4-admin \
            ./usr/share/man/man1/kestrel4.1.gz ./usr/share/man/man1/kestrel4-admin.1.gz \
            ./usr/share/man/man1/kestrel4-sim.1.gz ./usr/share/man/man1/kestrel4-wavgen.1.gz \
            ./usr/share/kestrel4/sounds/sounds ./usr/share/kestrel4/sounds/alarm00.wav \
            ./usr/share/kestrel4/sounds/alarm15.wav ./usr/share/kestrel4/demo/demo_subscribers.csv \
            ./usr/share/doc/kestrel4/README.md ./usr/share/doc/kestrel4/copyright; do
  grep -Eq " $path$" <<<"$contents" || fail "brak pliku $path"
done
# Programs on the PATH, executable by all.
grep -Eq '^-rwxr-xr-x .* \./usr/bin/kestrel4-admin$' <<<"$contents" || fail "kestrel4-admin nie jest wykonywalny"

# The man pages say what --help says.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
zcat "$work/usr/share/man/man1/kestrel4-admin.1.gz" | grep -q "subscribers" || fail "strona man kestrel4-admin bez poleceń"
zcat "$work/usr/share/man/man1/kestrel4.1.gz" | grep -q "headless" || fail "strona man kestrel4 bez --headless"

# The maintainer scripts are sound shell.
control=$work/control
dpkg-deb -e "$deb" "$control"
for script in postinst prerm postrm; do
  sh -n "$control/$script" || fail "$script: błąd składni"
done

# The service units as the package installs them. systemd-analyze needs no
# running systemd; it checks that the programs named exist, so the units are
# read with the package's /usr/bin put where the programs are unpacked, and
# the man pages of Documentation= are looked up in the package. Any word it
# says (an unknown key, a bad value) is a failure, not only its status.
units=$work/units
mkdir -p "$units"
for unit in kestrel4@.service kestrel4-kiosk@.service; do
  sed "s|/usr/bin/kestrel4|$work/usr/bin/kestrel4|g" "$work/usr/lib/systemd/system/$unit" >"$units/$unit"
done
if command -v systemd-analyze >/dev/null; then
  said=$(cd "$units" && MANPATH="$work/usr/share/man" systemd-analyze verify ./kestrel4@.service ./kestrel4-kiosk@.service 2>&1)
  verified=$?
  echo "systemd-analyze verify: status $verified ${said:+- $said}"
  [ $verified -eq 0 ] && [ -z "$said" ] || fail "systemd-analyze verify: $said"
else
  fail "brak systemd-analyze (tools/setup.sh instaluje systemd)"
fi
# What the headless unit promises the station.
service=$work/usr/lib/systemd/system/kestrel4@.service
for line in 'Type=notify' 'User=kestrel4' 'SupplementaryGroups=dialout' 'WatchdogSec=' 'Restart=on-failure' \
            'NoNewPrivileges=yes' 'ProtectSystem=strict' 'ReadWritePaths=/var/lib/kestrel4/%i' 'PrivateTmp=yes' \
            'ExecStart=/usr/bin/kestrel4 --headless --data /var/lib/kestrel4/%i'; do
  grep -q "^$line" "$service" || fail "kestrel4@.service bez $line"
done
[ $status -eq 0 ] && echo "pakiet $deb: w porządku"
exit $status
