#include "model/MerkzettelVerwaltung.h"

#include <cstdlib>

#include "storage/FixedText.h"
#include "storage/MessageException.h"

MerkzettelVerwaltung::MerkzettelVerwaltung(const std::string& fileName, Zugriff zugriff)
    : liste_(fileName.c_str(), zugriff) {
    for (unsigned i = 0; i < liste_.Count(); ++i) {
        notizen_.push_back(std::make_unique<MerkzettelIntern>(liste_[i]));
    }
}

MerkzettelVerwaltung::~MerkzettelVerwaltung() {
    if (liste_.IsReadOnly()) {
        return;
    }
    try {
        Abgleichen();
        // Removing moves the last note into the gap, so the same index is
        // looked at again; adjacent empty notes all go.
        unsigned i = 0;
        while (i < liste_.Count()) {
            if (FixedText::IsEmpty(liste_[i].text)) {
                liste_.Delete(static_cast<int>(i));
            } else {
                ++i;
            }
        }
    } catch (const MessageException&) {
        // The file keeps its last good contents; there is no one left to tell.
    }
}

void MerkzettelVerwaltung::ShowAll(FensterOeffner oeffner) {
    oeffner_ = std::move(oeffner);
    if (!oeffner_) {
        return;
    }
    for (const auto& notiz : notizen_) {
        oeffner_(*notiz);
    }
}

MerkzettelVerwaltung::MerkzettelIntern& MerkzettelVerwaltung::NewNote() {
    auto notiz = std::make_unique<MerkzettelIntern>();
    FixedText::Set(notiz->text, kNeuerText);
    notiz->x = std::rand() % 300;
    notiz->y = std::rand() % 250;
    liste_.Add(*notiz);
    notizen_.push_back(std::move(notiz));
    MerkzettelIntern& neu = *notizen_.back();
    if (oeffner_) {
        oeffner_(neu);
    }
    return neu;
}

void MerkzettelVerwaltung::Store(const MerkzettelIntern* notiz) {
    for (unsigned i = 0; i < notizen_.size(); ++i) {
        if (notizen_[i].get() == notiz) {
            liste_[i] = *notiz;
            liste_.Store(i);
            return;
        }
    }
    throw MessageException(
        "Es wurde in MerkzettelVerwaltung::Store() ein Merkzettel angegeben, der nicht verwaltet "
        "wird");
}

void MerkzettelVerwaltung::Flush() {
    Abgleichen();
    liste_.Flush();
}

MerkzettelVerwaltung::MerkzettelIntern& MerkzettelVerwaltung::operator[](unsigned index) {
    if (index >= notizen_.size()) {
        throw MessageException(GenericList<MerkzettelIntern>::kRangeError);
    }
    return *notizen_[index];
}

void MerkzettelVerwaltung::Abgleichen() {
    for (unsigned i = 0; i < notizen_.size(); ++i) {
        liste_[i] = *notizen_[i];
    }
}
