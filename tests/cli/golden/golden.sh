#!/usr/bin/env bash
# Runs the command-line tool over a small sample business and compares what
# it writes with the expectations beside this script: the data files (by
# their SHA-256), every export, the text of the invoice PDFs and the
# e-invoices. A change in any byte the program writes shows up here as a
# diff.
#
#   golden.sh CLI-PROGRAM [--neu]
#
# --neu writes the expectations anew (after a change that is meant to alter
# an output; the diff in version control then shows exactly what changed).
set -euo pipefail
# The sample's capture stamps are local times.
export TZ=Europe/Berlin LC_ALL=C.UTF-8

cli=$(readlink -f "$1")
neu=${2:-}
hier=$(cd "$(dirname "$0")" && pwd)
erwartet="$hier/erwartet"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
aus="$arbeit/aus"
mkdir -p "$aus" "$arbeit/w"
cd "$arbeit/w"

# Each command's terminal output and exit status are part of what is compared.
lauf() {
    local name=$1
    shift
    local status=0
    "$cli" "$@" >"$aus/$name.out" 2>&1 || status=$?
    echo "exit $status" >>"$aus/$name.out"
}

lauf beispieldaten beispieldaten --kunden 40 --weine 15 --preislisten 3 --rechnungen 150 \
    --seed 7 --stichtag 7.12.2026
lauf firmendaten-aendern firmendaten --iban "DE85 5505 0120 0123 4567 89" --ustid DE814736295
lauf firmendaten firmendaten
lauf flaschenliste-text flaschenliste fl.txt
lauf flaschenliste-xls flaschenliste fl.xls
lauf flaschenliste-2025 flaschenliste fl2025.txt --datierung 1.1.2025 31.12.2025
lauf preislisten preislisten pl.txt
lauf adressen adressen adr.csv
lauf adressen-gruppe adressen adr-mainz.csv --gruppe Mainz --plz 55000 55999
lauf suche-betrag suche --betrag 100 --abweichung 5
lauf suche-nummer suche --nummer 1108
lauf pruefen pruefen
lauf rechnung-pdf rechnung 1108 --pdf r1108.pdf
lauf rechnung-kunde rechnung 1011 --pdf r1011.pdf --dokumente kunde
lauf xrechnung rechnung 1006 --xrechnung r1006.xml --referenz 991-12345-67
lauf zugferd rechnung 1013 --zugferd z1013.pdf
lauf offene-posten offene-posten --stichtag 7.12.2026
lauf mahnungen mahnungen --pdf m.pdf --stichtag 7.12.2026

(cd daten && sha256sum -- *) >"$aus/daten.sha256"
sha256sum fl.xls >"$aus/fl.xls.sha256"
for f in fl.txt fl2025.txt pl.txt adr.csv adr-mainz.csv r1006.xml; do
    cp "$f" "$aus/$f"
done
for f in r1108.pdf r1011.pdf z1013.pdf m.pdf; do
    pdftotext -layout "$f" "$aus/$f.txt"
done
mkdir anhang
pdfdetach -saveall -o anhang z1013.pdf >/dev/null
cp anhang/factur-x.xml "$aus/z1013-factur-x.xml"

if [ "$neu" = "--neu" ]; then
    rm -rf "$erwartet"
    cp -r "$aus" "$erwartet"
    echo "Erwartungen neu geschrieben: $erwartet"
    exit 0
fi
diff -ru "$erwartet" "$aus"
