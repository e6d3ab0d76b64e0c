#include "printing/ZugferdPdf.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <QByteArray>
#include <exception>

#include "printing/RechnungAlsPdf.h"
#include "storage/File.h"

namespace {

constexpr const char* kAnhang = "factur-x.xml";

// What a PDF/A-3 reader needs to accept the Factur-X entries of the XMP:
// the extension schema that describes them, and the entries themselves.
constexpr const char* kFacturXXmp =
    R"(    <rdf:Description xmlns:pdfaExtension="http://www.aiim.org/pdfa/ns/extension/" xmlns:pdfaSchema="http://www.aiim.org/pdfa/ns/schema#" xmlns:pdfaProperty="http://www.aiim.org/pdfa/ns/property#" rdf:about="">
      <pdfaExtension:schemas>
        <rdf:Bag>
          <rdf:li rdf:parseType="Resource">
            <pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>
            <pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>
            <pdfaSchema:prefix>fx</pdfaSchema:prefix>
            <pdfaSchema:property>
              <rdf:Seq>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>DocumentFileName</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>name of the embedded XML invoice file</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>DocumentType</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>INVOICE</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>Version</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>The actual version of the Factur-X XML schema</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>ConformanceLevel</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>The conformance level of the embedded Factur-X data</pdfaProperty:description>
                </rdf:li>
              </rdf:Seq>
            </pdfaSchema:property>
          </rdf:li>
        </rdf:Bag>
      </pdfaExtension:schemas>
    </rdf:Description>
    <rdf:Description xmlns:fx="urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#" rdf:about="" fx:DocumentType="INVOICE" fx:DocumentFileName="factur-x.xml" fx:Version="1.0" fx:ConformanceLevel="EN 16931"/>
)";

// Qt declares PDF/A-1b; the attachment makes the document PDF/A-3b, and
// the XMP says so and names the attachment.
bool XmpAnpassen(std::string& xmp) {
    const std::string teil = "pdfaid:part=\"1\"";
    const std::size_t stelle = xmp.find(teil);
    const std::size_t ende = xmp.find("</rdf:RDF>");
    if (stelle == std::string::npos || ende == std::string::npos) {
        return false;
    }
    xmp.insert(ende, kFacturXXmp);
    xmp.replace(stelle, teil.size(), "pdfaid:part=\"3\"");
    return true;
}

}  // namespace

bool ZugferdPdf(const std::string& pdfDatei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                const std::string& facturXml, std::string& fehler) {
    QByteArray seiten;
    if (!RechnungAlsPdfDaten(seiten, verwaltungen, rechnung, false, true, false, true)) {
        fehler = "Die Seiten der Rechnung konnten nicht erzeugt werden.";
        return false;
    }
    std::string ergebnis;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("rechnung.pdf", seiten.constData(),
                              static_cast<std::size_t>(seiten.size()));
        QPDFObjectHandle wurzel = pdf.getRoot();
        QPDFObjectHandle metadaten = wurzel.getKey("/Metadata");
        if (!metadaten.isStream()) {
            fehler = "Die PDF/A-Grundlage hat keine XMP-Metadaten.";
            return false;
        }
        auto roh = metadaten.getStreamData(qpdf_dl_all);
        std::string xmp(reinterpret_cast<const char*>(roh->getBuffer()), roh->getSize());
        if (!XmpAnpassen(xmp)) {
            fehler = "Die XMP-Metadaten der PDF/A-Grundlage haben eine unerwartete Form.";
            return false;
        }
        metadaten.replaceStreamData(xmp, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());

        const std::string jetzt = QUtil::qpdf_time_to_pdf_time(QUtil::get_current_qpdf_time());
        auto strom = QPDFEFStreamObjectHelper::createEFStream(pdf, facturXml);
        strom.setSubtype("text/xml").setModDate(jetzt).setCreationDate(jetzt);
        auto anhangEintrag = QPDFFileSpecObjectHelper::createFileSpec(pdf, kAnhang, strom);
        anhangEintrag.setDescription("Rechnungsdaten nach EN 16931 (Factur-X/ZUGFeRD)");
        QPDFObjectHandle eintrag = anhangEintrag.getObjectHandle();
        eintrag.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
        QPDFEmbeddedFileDocumentHelper(pdf).replaceEmbeddedFile(kAnhang, anhangEintrag);
        QPDFObjectHandle af = QPDFObjectHandle::newArray();
        af.appendItem(eintrag);
        wurzel.replaceKey("/AF", af);

        QPDFWriter schreiber(pdf);
        schreiber.setOutputMemory();
        schreiber.setMinimumPDFVersion("1.7");
        schreiber.setObjectStreamMode(qpdf_o_disable);
        schreiber.write();
        auto puffer = schreiber.getBufferSharedPointer();
        ergebnis.assign(reinterpret_cast<const char*>(puffer->getBuffer()), puffer->getSize());
    } catch (const std::exception& e) {
        fehler = std::string("Die ZUGFeRD-Datei konnte nicht erstellt werden: ") + e.what();
        return false;
    }

    const Ergebnis<void> geschrieben =
        File::ReplaceAtomically(pdfDatei, ergebnis, File::Temp::Unique);
    if (!geschrieben) {
        fehler = "Die Datei " + pdfDatei + " konnte nicht geschrieben werden (" +
                 geschrieben.Ursache().Grund() + ").";
        return false;
    }
    return true;
}
