#include "app/QtText.h"

#include "storage/CodePage.h"

QString QtText::From(const std::string& cp1252) {
    return QString::fromStdString(CodePage::Cp1252ToUtf8(cp1252));
}

std::string QtText::To(const QString& text) {
    return CodePage::Utf8ToCp1252(text.toStdString());
}
