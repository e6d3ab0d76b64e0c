#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/PostenVerwaltung.h"
#include "storage/Datum.h"
#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"

struct Verwaltungen;

// One invoice header: 297 bytes on disk, the persistent fields below in
// declaration order. Its items live in the item file and are reached through
// the chain that starts at postenKopf.
class Rechnung {
  public:
    static constexpr std::size_t DiskSize = 297;
    // Id, number and customer of a working copy or search buffer.
    static constexpr std::int32_t kOhneNummer = 2147483647;
    // kartons (and steigen) of a deleted invoice.
    static constexpr std::int16_t kGeloescht = 32767;

    // A list slot or read buffer: id, number and customer kOhneNummer, no
    // manager set, and no capture stamp (every slot of a result list is
    // built this way, and the reads overwrite it anyway).
    Rechnung();
    // A new invoice, stamped with the current date and time. When the
    // manager set holds a customer with that number, the invoice becomes the
    // head of the customer's invoice chain (in memory).
    Rechnung(Verwaltungen* verwaltungen, std::int32_t id, std::int32_t nummer, std::int32_t kunde);

    Verwaltungen* GetVerwaltungen() const { return verwaltungen_; }
    void SetVerwaltungen(Verwaltungen* verwaltungen);

    bool IstGeloescht() const { return kartons == kGeloescht; }

    // Sum over the live items of menge × price (DM or Euro), in chain order
    // and single precision.
    float GetSumme(bool inDM) const;
    // Sum over the live items of the wine's bottle weight × menge, in grams;
    // an item whose wine is missing weighs nothing.
    std::int32_t GetGewicht() const;
    std::int32_t GetAnzahlPosten() const;

    // The cached live item of that wine, or null. Valid until the next change.
    PostenVerwaltung::Posten* FindPosten(std::int32_t weinNummer);
    // Whoever changes the items or reads other fields into this invoice
    // calls this; the items are read anew on their next use.
    void PostenGeaendert() { cache_.gueltig = false; }

    // Item iteration: cursor = FirstPosten(); while (NextPosten(p, cursor)) ...
    std::int32_t FirstPosten() const { return postenKopf; }
    bool NextPosten(PostenVerwaltung::Posten& posten, std::int32_t& cursor) const;

    std::int32_t id = kOhneNummer;
    std::int32_t nummer = kOhneNummer;
    std::int32_t kunde = kOhneNummer;
    std::int16_t steigen = 0;
    std::int16_t kartons = 0;
    // 1 January 1901 stands for "no date set yet".
    std::uint32_t datum = Datum::k1901;
    float betragEingegangen = 0.0f;
    std::uint8_t beglichen = 0;
    std::uint32_t erfasstDatum = 0;
    std::uint32_t erfasstZeit = 0;
    char bemerkung[256] = {};
    std::int32_t postenKopf = -1;
    std::int32_t vorigeRechnung = -1;

    static constexpr auto kFelder = Feldtabelle(
        "Rechnung", Satzfeld("id", &Rechnung::id), Satzfeld("nummer", &Rechnung::nummer),
        Satzfeld("kunde", &Rechnung::kunde), Satzfeld("steigen", &Rechnung::steigen),
        Satzfeld("kartons", &Rechnung::kartons), Satzfeld("datum", &Rechnung::datum),
        Satzfeld("betragEingegangen", &Rechnung::betragEingegangen),
        Satzfeld("beglichen", &Rechnung::beglichen),
        Satzfeld("erfasstDatum", &Rechnung::erfasstDatum),
        Satzfeld("erfasstZeit", &Rechnung::erfasstZeit),
        Satzfeld("bemerkung", &Rechnung::bemerkung), Satzfeld("postenKopf", &Rechnung::postenKopf),
        Satzfeld("vorigeRechnung", &Rechnung::vorigeRechnung));

  private:
    // The live items in chain order; created on first use, so that copies in
    // result lists stay small. A copy of an invoice starts without them and
    // reads its own on its next use.
    struct PostenCache {
        PostenCache() = default;
        PostenCache(const PostenCache&) {}
        PostenCache& operator=(const PostenCache&) {
            gueltig = false;
            return *this;
        }
        std::unique_ptr<GenericList<PostenVerwaltung::Posten>> liste;
        bool gueltig = false;
    };

    PostenVerwaltung* PostenVw() const;
    void CacheFuellen();

    Verwaltungen* verwaltungen_ = nullptr;
    PostenCache cache_;
};
