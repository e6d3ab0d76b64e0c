// libxml2 is loaded with the first e-invoice written (storage/Bibliothek.h).
#include <libxml/xmlwriter.h>

#include "documents/Bibliotheken.h"
#include "storage/Bibliothek.h"

namespace {

struct Libxml2 {
    Bibliothek bibliothek{REBKONTOR_SONAME_LIBXML2};
    REBKONTOR_FUNKTION(xmlBufferContent);
    REBKONTOR_FUNKTION(xmlBufferCreate);
    REBKONTOR_FUNKTION(xmlBufferFree);
    REBKONTOR_FUNKTION(xmlBufferLength);
    REBKONTOR_FUNKTION(xmlFreeTextWriter);
    REBKONTOR_FUNKTION(xmlNewTextWriterMemory);
    REBKONTOR_FUNKTION(xmlTextWriterEndDocument);
    REBKONTOR_FUNKTION(xmlTextWriterEndElement);
    REBKONTOR_FUNKTION(xmlTextWriterSetIndent);
    REBKONTOR_FUNKTION(xmlTextWriterSetIndentString);
    REBKONTOR_FUNKTION(xmlTextWriterStartDocument);
    REBKONTOR_FUNKTION(xmlTextWriterStartElement);
    REBKONTOR_FUNKTION(xmlTextWriterWriteAttribute);
    REBKONTOR_FUNKTION(xmlTextWriterWriteElement);
    REBKONTOR_FUNKTION(xmlTextWriterWriteString);
};

const Libxml2& T() {
    static const Libxml2 tafel;
    return tafel;
}

}  // namespace

extern "C" {

const xmlChar* xmlBufferContent(const xmlBuffer* buf) {
    return T().xmlBufferContent(buf);
}

xmlBufferPtr xmlBufferCreate() {
    return T().xmlBufferCreate();
}

void xmlBufferFree(xmlBufferPtr buf) {
    T().xmlBufferFree(buf);
}

int xmlBufferLength(const xmlBuffer* buf) {
    return T().xmlBufferLength(buf);
}

void xmlFreeTextWriter(xmlTextWriterPtr writer) {
    T().xmlFreeTextWriter(writer);
}

xmlTextWriterPtr xmlNewTextWriterMemory(xmlBufferPtr buf, int compression) {
    return T().xmlNewTextWriterMemory(buf, compression);
}

int xmlTextWriterEndDocument(xmlTextWriterPtr writer) {
    return T().xmlTextWriterEndDocument(writer);
}

int xmlTextWriterEndElement(xmlTextWriterPtr writer) {
    return T().xmlTextWriterEndElement(writer);
}

int xmlTextWriterSetIndent(xmlTextWriterPtr writer, int indent) {
    return T().xmlTextWriterSetIndent(writer, indent);
}

int xmlTextWriterSetIndentString(xmlTextWriterPtr writer, const xmlChar* str) {
    return T().xmlTextWriterSetIndentString(writer, str);
}

int xmlTextWriterStartDocument(xmlTextWriterPtr writer, const char* version, const char* encoding,
                               const char* standalone) {
    return T().xmlTextWriterStartDocument(writer, version, encoding, standalone);
}

int xmlTextWriterStartElement(xmlTextWriterPtr writer, const xmlChar* name) {
    return T().xmlTextWriterStartElement(writer, name);
}

int xmlTextWriterWriteAttribute(xmlTextWriterPtr writer, const xmlChar* name,
                                const xmlChar* content) {
    return T().xmlTextWriterWriteAttribute(writer, name, content);
}

int xmlTextWriterWriteElement(xmlTextWriterPtr writer, const xmlChar* name,
                              const xmlChar* content) {
    return T().xmlTextWriterWriteElement(writer, name, content);
}

int xmlTextWriterWriteString(xmlTextWriterPtr writer, const xmlChar* content) {
    return T().xmlTextWriterWriteString(writer, content);
}

}  // extern "C"
