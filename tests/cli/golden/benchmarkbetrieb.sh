#!/usr/bin/env bash
# Runs the reading commands of the command-line tool over the benchmark
# business (2,000 customers, 200 wines, 20 price lists, 50,000 invoices,
# 500,000 items) and compares every byte they write, by SHA-256, with the
# expectations beside this script. Then it damages the data in the ways the
# check knows (chains in circles, into other chains and out of the file,
# duplicate numbers, unknown customers, items of invoices never stored, a
# partial record) and compares what the check and the searches say about
# that. Reading the big files in a new way must not change one byte of it.
#
#   benchmarkbetrieb.sh CLI-PROGRAM [--neu]
#
# --neu writes the expectations anew.
set -euo pipefail
export TZ=Europe/Berlin LC_ALL=C.UTF-8

cli=$(readlink -f "$1")
neu=${2:-}
hier=$(cd "$(dirname "$0")" && pwd)
erwartet="$hier/benchmarkbetrieb.sha256"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
aus="$arbeit/aus"
mkdir -p "$aus" "$arbeit/w"
cd "$arbeit/w"

lauf() {
    local name=$1
    shift
    local status=0
    "$cli" "$@" >"$aus/$name.out" 2>&1 || status=$?
    echo "exit $status" >>"$aus/$name.out"
}

# A little-endian 32-bit number at a byte offset, read and written.
lies() {
    od -An -t d4 -j "$2" -N 4 "$1" | tr -d ' '
}
schreibe() {
    local wert=$(($3 & 0xFFFFFFFF))
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((wert & 255)) $(((wert >> 8) & 255)) \
        $(((wert >> 16) & 255)) $(((wert >> 24) & 255)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

lauf beispieldaten beispieldaten --kunden 2000 --weine 200 --preislisten 20 --rechnungen 50000 \
    --posten 500000 --seed 20261231 --stichtag 31.12.2026
(cd daten && sha256sum -- *) >"$aus/daten.sha256"

lesen() {
    local teil=$1
    lauf "$teil-suche-betrag" suche --betrag 100 --abweichung 5
    lauf "$teil-suche-betrag-genau" suche --betrag 250 --abweichung 0.5
    lauf "$teil-suche-nummer" suche --nummer 26000
    lauf "$teil-suche-nummer-alt" suche --nummer 1003
    lauf "$teil-suche-nummer-keine" suche --nummer 999999
    lauf "$teil-flaschenliste" flaschenliste "$teil-fl.txt" --erfassung 1.1.1990 31.12.2030
    lauf "$teil-flaschenliste-2025" flaschenliste "$teil-fl2025.txt" --datierung 1.1.2025 31.12.2025
    lauf "$teil-flaschenliste-xls" flaschenliste "$teil-fl.xls" --datierung 1.1.2026 31.12.2026
    lauf "$teil-flaschenliste-standard" flaschenliste "$teil-flstd.txt"
    lauf "$teil-adressen" adressen "$teil-adr.csv"
    lauf "$teil-adressen-gruppe" adressen "$teil-adr-mainz.csv" --gruppe Mainz --plz 55000 55999
    lauf "$teil-preislisten" preislisten "$teil-pl.txt"
    lauf "$teil-pruefen" pruefen
    lauf "$teil-xrechnung" rechnung 50901 --xrechnung "$teil-r.xml" --referenz 991-12345-67
    for f in "$teil-fl.txt" "$teil-fl2025.txt" "$teil-fl.xls" "$teil-flstd.txt" "$teil-adr.csv" \
        "$teil-adr-mainz.csv" "$teil-pl.txt" "$teil-r.xml"; do
        if [ -e "$f" ]; then
            cp "$f" "$aus/$f"
        fi
    done
}
lesen heil
# The reading commands leave the data as they found them.
(cd daten && sha256sum -- *) | diff "$aus/daten.sha256" - >&2

P=22
R=297
K=528
posten=daten/rechnungsposten.dat
rechnungen=daten/rechnungen.dat
kunden=daten/kunden.dat
# An item chain that runs in a circle (its item links to itself), one that
# runs into another invoice's chain, and one that leaves the file.
kopf=$(lies $rechnungen $((1000 * R + 289)))
schreibe $posten $((kopf * P + 18)) "$kopf"
schreibe $rechnungen $((2000 * R + 289)) "$(lies $rechnungen $((2001 * R + 289)))"
schreibe $rechnungen $((3000 * R + 289)) 600000
# A chain that jumps forward, and an item of an invoice never stored.
kopf=$(lies $rechnungen $((4000 * R + 289)))
schreibe $posten $((kopf * P + 18)) $((kopf + 5))
schreibe $posten $((123456 * P + 4)) 70000
schreibe $posten $((123457 * P + 4)) -7
# An invoice whose id is another's, one of an unknown customer, one deleted.
schreibe $rechnungen $((30000 * R)) 29999
schreibe $rechnungen $((40000 * R + 8)) 99999
schreibe $rechnungen $((40001 * R + 8)) 99999
printf '\xff\x7f\xff\x7f' | dd of=$rechnungen bs=1 seek=$((45000 * R + 12)) conv=notrunc status=none
# Customer chains out of the file and in a circle; a customer number twice.
schreibe $kunden $((10 * K + 524)) 70000
schreibe $rechnungen $(($(lies $kunden $((11 * K + 524))) * R + 293)) \
    "$(lies $kunden $((11 * K + 524)))"
schreibe $kunden $((20 * K)) "$(lies $kunden $((21 * K)))"
# The item file ends in part of a record.
printf '\x01\x02\x03\x04\x05' >>$posten
lesen kaputt

(cd "$aus" && sha256sum -- *) >"$arbeit/ist.sha256"
if [ "$neu" = "--neu" ]; then
    cp "$arbeit/ist.sha256" "$erwartet"
    echo "Erwartungen neu geschrieben: $erwartet"
    exit 0
fi
diff -u "$erwartet" "$arbeit/ist.sha256"
