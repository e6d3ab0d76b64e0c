#include "documents/XRechnungXml.h"

#include <libxml/xmlwriter.h>

#include <cstdio>
#include <memory>

#include "storage/MessageException.h"

namespace {

// xmlTextWriter over a memory buffer; every call is checked, since a writer
// that failed half-way would leave a truncated invoice.
class Schreiber {
  public:
    Schreiber() : puffer_(xmlBufferCreate(), xmlBufferFree) {
        if (puffer_ == nullptr) {
            throw MessageException("XRechnungXml: kein Speicher");
        }
        writer_ = xmlNewTextWriterMemory(puffer_.get(), 0);
        if (writer_ == nullptr) {
            throw MessageException("XRechnungXml: kein Speicher");
        }
        xmlTextWriterSetIndent(writer_, 1);
        xmlTextWriterSetIndentString(writer_, BAD_CAST "  ");
        Pruefe(xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr));
    }
    ~Schreiber() {
        if (writer_ != nullptr) {
            xmlFreeTextWriter(writer_);
        }
    }
    Schreiber(const Schreiber&) = delete;
    Schreiber& operator=(const Schreiber&) = delete;

    void Auf(const char* name) { Pruefe(xmlTextWriterStartElement(writer_, BAD_CAST name)); }
    void Zu() { Pruefe(xmlTextWriterEndElement(writer_)); }
    void Attribut(const char* name, const std::string& wert) {
        Pruefe(xmlTextWriterWriteAttribute(writer_, BAD_CAST name, BAD_CAST wert.c_str()));
    }
    void Element(const char* name, const std::string& text) {
        Pruefe(xmlTextWriterWriteElement(writer_, BAD_CAST name, BAD_CAST text.c_str()));
    }
    void Element(const char* name, const std::string& text, const char* attribut,
                 const std::string& wert) {
        Auf(name);
        Attribut(attribut, wert);
        Pruefe(xmlTextWriterWriteString(writer_, BAD_CAST text.c_str()));
        Zu();
    }
    // An element only when there is something to say.
    void Wenn(const char* name, const std::string& text) {
        if (!text.empty()) {
            Element(name, text);
        }
    }
    void Datum(const char* name, int jahr, int monat, int tag) {
        // Format 102 is CCYYMMDD: eight digits, never more, which a year
        // after 9999 would give. Whether the date exists is the caller's
        // to check.
        if (jahr < 0 || jahr > 9999 || monat < 0 || monat > 99 || tag < 0 || tag > 99) {
            throw MessageException("XRechnungXml: ein Datum ist nicht darstellbar");
        }
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02d%02d", jahr, monat, tag);
        Auf(name);
        Element("udt:DateTimeString", text, "format", "102");
        Zu();
    }
    std::string Fertig() {
        Pruefe(xmlTextWriterEndDocument(writer_));
        xmlFreeTextWriter(writer_);
        writer_ = nullptr;
        return std::string(reinterpret_cast<const char*>(xmlBufferContent(puffer_.get())),
                           static_cast<std::size_t>(xmlBufferLength(puffer_.get())));
    }

  private:
    static void Pruefe(int ergebnis) {
        if (ergebnis < 0) {
            throw MessageException("XRechnungXml: das XML konnte nicht geschrieben werden");
        }
    }
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> puffer_;
    xmlTextWriterPtr writer_ = nullptr;
};

void Anschrift(Schreiber& s, const ERechnung::Partei& p) {
    s.Auf("ram:PostalTradeAddress");
    s.Element("ram:PostcodeCode", p.plz);
    s.Element("ram:LineOne", p.strasse);
    s.Element("ram:CityName", p.ort);
    s.Element("ram:CountryID", p.land);
    s.Zu();
}

void EAdresse(Schreiber& s, const std::string& email) {
    s.Auf("ram:URIUniversalCommunication");
    s.Element("ram:URIID", email, "schemeID", "EM");
    s.Zu();
}

void Steuer(Schreiber& s, const ERechnung& r, const std::int64_t* steuer,
            const std::int64_t* basis) {
    s.Auf("ram:ApplicableTradeTax");
    if (steuer != nullptr) {
        s.Element("ram:CalculatedAmount", ERechnung::Betrag(*steuer));
    }
    s.Element("ram:TypeCode", "VAT");
    if (basis != nullptr) {
        s.Element("ram:BasisAmount", ERechnung::Betrag(*basis));
    }
    s.Element("ram:CategoryCode", "S");
    s.Element("ram:RateApplicablePercent", ERechnung::Betrag(r.satz));
    s.Zu();
}

}  // namespace

std::string XRechnungXml::Schreiben(const ERechnung& r, Profil profil) {
    Schreiber s;
    s.Auf("rsm:CrossIndustryInvoice");
    s.Attribut("xmlns:rsm", "urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
    s.Attribut(
        "xmlns:ram",
        "urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
    s.Attribut("xmlns:qdt", "urn:un:unece:uncefact:data:standard:QualifiedDataType:100");
    s.Attribut("xmlns:udt", "urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");

    s.Auf("rsm:ExchangedDocumentContext");
    s.Auf("ram:GuidelineSpecifiedDocumentContextParameter");
    s.Element("ram:ID", profil == kXRechnung ? kXRechnungKennung : kFacturXKennung);
    s.Zu();
    s.Zu();

    s.Auf("rsm:ExchangedDocument");
    s.Element("ram:ID", std::to_string(r.nummer));
    s.Element("ram:TypeCode", "380");
    s.Datum("ram:IssueDateTime", r.jahr, r.monat, r.tag);
    if (!r.bemerkung.empty()) {
        s.Auf("ram:IncludedNote");
        s.Element("ram:Content", r.bemerkung);
        s.Zu();
    }
    s.Zu();

    s.Auf("rsm:SupplyChainTradeTransaction");
    for (std::size_t i = 0; i < r.zeilen.size(); ++i) {
        const ERechnung::Zeile& z = r.zeilen[i];
        s.Auf("ram:IncludedSupplyChainTradeLineItem");
        s.Auf("ram:AssociatedDocumentLineDocument");
        s.Element("ram:LineID", std::to_string(i + 1));
        s.Zu();
        s.Auf("ram:SpecifiedTradeProduct");
        s.Element("ram:SellerAssignedID", std::to_string(z.weinNummer));
        s.Element("ram:Name", z.name);
        s.Wenn("ram:Description", z.beschreibung);
        s.Zu();
        s.Auf("ram:SpecifiedLineTradeAgreement");
        s.Auf("ram:NetPriceProductTradePrice");
        s.Element("ram:ChargeAmount", ERechnung::Preis(z.nettoPreis));
        s.Zu();
        s.Zu();
        s.Auf("ram:SpecifiedLineTradeDelivery");
        // Bottles (UN/ECE recommendation 21).
        s.Element("ram:BilledQuantity", std::to_string(z.menge), "unitCode", "XBO");
        s.Zu();
        s.Auf("ram:SpecifiedLineTradeSettlement");
        Steuer(s, r, nullptr, nullptr);
        s.Auf("ram:SpecifiedTradeSettlementLineMonetarySummation");
        s.Element("ram:LineTotalAmount", ERechnung::Betrag(z.netto));
        s.Zu();
        s.Zu();
        s.Zu();
    }

    s.Auf("ram:ApplicableHeaderTradeAgreement");
    s.Element("ram:BuyerReference", r.referenz);
    s.Auf("ram:SellerTradeParty");
    // Without a VAT number the tax number is the only thing that tells the
    // buyer's software who the seller is.
    if (r.verkaeufer.ustId.empty()) {
        s.Element("ram:ID", r.verkaeufer.steuernummer);
    }
    s.Element("ram:Name", r.verkaeufer.name);
    s.Auf("ram:DefinedTradeContact");
    s.Element("ram:PersonName", r.verkaeufer.kontakt);
    s.Auf("ram:TelephoneUniversalCommunication");
    s.Element("ram:CompleteNumber", r.verkaeufer.telefon);
    s.Zu();
    s.Auf("ram:EmailURIUniversalCommunication");
    s.Element("ram:URIID", r.verkaeufer.email);
    s.Zu();
    s.Zu();
    Anschrift(s, r.verkaeufer);
    EAdresse(s, r.verkaeufer.email);
    if (!r.verkaeufer.ustId.empty()) {
        s.Auf("ram:SpecifiedTaxRegistration");
        s.Element("ram:ID", r.verkaeufer.ustId, "schemeID", "VA");
        s.Zu();
    }
    if (!r.verkaeufer.steuernummer.empty()) {
        s.Auf("ram:SpecifiedTaxRegistration");
        s.Element("ram:ID", r.verkaeufer.steuernummer, "schemeID", "FC");
        s.Zu();
    }
    s.Zu();
    s.Auf("ram:BuyerTradeParty");
    s.Element("ram:ID", r.kaeufer.kennung);
    s.Element("ram:Name", r.kaeufer.name);
    Anschrift(s, r.kaeufer);
    EAdresse(s, r.kaeufer.email);
    s.Zu();
    s.Zu();

    s.Auf("ram:ApplicableHeaderTradeDelivery");
    s.Auf("ram:ActualDeliverySupplyChainEvent");
    s.Datum("ram:OccurrenceDateTime", r.jahr, r.monat, r.tag);
    s.Zu();
    s.Zu();

    s.Auf("ram:ApplicableHeaderTradeSettlement");
    s.Element("ram:PaymentReference", std::to_string(r.nummer));
    s.Element("ram:InvoiceCurrencyCode", "EUR");
    s.Auf("ram:SpecifiedTradeSettlementPaymentMeans");
    s.Element("ram:TypeCode", "58");
    s.Auf("ram:PayeePartyCreditorFinancialAccount");
    s.Element("ram:IBANID", r.iban);
    s.Element("ram:AccountName", r.kontoinhaber);
    s.Zu();
    if (!r.bic.empty()) {
        s.Auf("ram:PayeeSpecifiedCreditorFinancialInstitution");
        s.Element("ram:BICID", r.bic);
        s.Zu();
    }
    s.Zu();
    Steuer(s, r, &r.mwst, &r.summeNetto);
    s.Auf("ram:SpecifiedTradePaymentTerms");
    s.Element("ram:Description", r.zahlungsbedingungen);
    s.Datum("ram:DueDateDateTime", r.faelligJahr, r.faelligMonat, r.faelligTag);
    s.Zu();
    s.Auf("ram:SpecifiedTradeSettlementHeaderMonetarySummation");
    s.Element("ram:LineTotalAmount", ERechnung::Betrag(r.summeNetto));
    s.Element("ram:TaxBasisTotalAmount", ERechnung::Betrag(r.summeNetto));
    s.Element("ram:TaxTotalAmount", ERechnung::Betrag(r.mwst), "currencyID", "EUR");
    if (r.rundung != 0) {
        s.Element("ram:RoundingAmount", ERechnung::Betrag(r.rundung));
    }
    s.Element("ram:GrandTotalAmount", ERechnung::Betrag(r.brutto));
    s.Element("ram:DuePayableAmount", ERechnung::Betrag(r.zahlbar));
    s.Zu();
    s.Zu();
    s.Zu();
    s.Zu();
    return s.Fertig();
}
