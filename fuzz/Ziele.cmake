# The fuzz targets: name, source, libraries beyond the model (a target whose
# libraries are not built is left out). Read by
# fuzz/CMakeLists.txt (libFuzzer builds) and tests/reliability (which replays
# every target's seeds and earlier findings in each test run).
set(REBKONTOR_FUZZ_ZIELE
    "fuzz_kunden|KundenFuzz.cpp|documents"
    "fuzz_weine|WeineFuzz.cpp|"
    "fuzz_preise|PreiseFuzz.cpp|documents"
    "fuzz_merkzettel|MerkzettelFuzz.cpp|"
    "fuzz_preislisten_namen|PreislistenNamenFuzz.cpp|"
    "fuzz_kundengruppen|KundengruppenFuzz.cpp|"
    "fuzz_einstellungen|EinstellungenFuzz.cpp|"
    "fuzz_rechnungen|RechnungenFuzz.cpp|documents"
    "fuzz_kunden_csv|KundenCsvFuzz.cpp|"
    "fuzz_alte_kunden|AlteKundenFuzz.cpp|"
    "fuzz_alte_weine|AlteWeineFuzz.cpp|"
    "fuzz_alte_preise|AltePreiseFuzz.cpp|"
    "fuzz_firmendaten|FirmendatenFuzz.cpp|documents"
    "fuzz_datev_exporte|DatevExporteFuzz.cpp|"
    "fuzz_mahnungen|MahnungenFuzz.cpp|"
    "fuzz_mahntexte|MahntexteFuzz.cpp|documents"
    "fuzz_sicherung|SicherungsarchivFuzz.cpp|sicherung"
    # Only where the printing layer is built.
    "fuzz_briefkopf|BriefkopfFuzz.cpp|printing")
