#include "storage/Bibliothek.h"

#include <dlfcn.h>

#include "storage/CodePage.h"
#include "storage/MessageException.h"

namespace {

// What the dynamic loader says about the last failure, for the message.
std::string LoaderGrund() {
    const char* grund = ::dlerror();
    return grund != nullptr ? CodePage::Utf8ToCp1252(grund) : std::string("unbekannter Grund");
}

}  // namespace

Bibliothek::Bibliothek(const char* soname) : soname_(soname) {
    // The symbols stay private to the library: the program reaches them only
    // through Adresse(), and nothing loaded later binds to them by chance.
    handle_ = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        throw MessageException("Die Programmbibliothek "_w + CodePage::Zitat(soname_) +
                               ", die Rebkontor für diese Aufgabe braucht, lässt sich nicht "
                               "laden ("_w +
                               LoaderGrund() +
                               "). Bitte installieren Sie Rebkontor mit seinen "
                               "Abhängigkeiten neu."_w);
    }
}

void* Bibliothek::Adresse(const char* name) const {
    ::dlerror();
    void* adresse = ::dlsym(handle_, name);
    if (adresse == nullptr) {
        throw MessageException("In der Programmbibliothek "_w + CodePage::Zitat(soname_) +
                               " fehlt die Funktion " + CodePage::Zitat(name) + " (" +
                               LoaderGrund() +
                               "); die installierte Fassung passt nicht zu Rebkontor. Bitte "
                               "installieren Sie Rebkontor mit seinen Abhängigkeiten neu."_w);
    }
    return adresse;
}
