#include "storage/DatenSperre.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

// The directory as the user finds it: the absolute path, links resolved.
std::string Anzeige(const std::string& verzeichnis) {
    const std::string voll = File::Resolve(verzeichnis);
    return CodePage::Utf8ToCp1252(voll.empty() ? verzeichnis : voll);
}

}  // namespace

DatenSperre::DatenSperre(const std::string& verzeichnis) {
    const std::string pfad = verzeichnis + "/" + kDateiname;
    // Close-on-exec: a program the window starts (the manual's viewer, an
    // editor) must not inherit the lock and hold it after the window ended.
    int fd;
    do {
        fd = ::open(pfad.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == ELOOP) {
        // A link would let the lock be taken on some other file than the
        // next program takes it on.
        throw MessageException("Die Sperrdatei »"_w + Anzeige(verzeichnis) + "/" + kDateiname +
                               "« ist eine symbolische Verknüpfung; bitte entfernen. Es wurde "
                               "nichts verändert."_w);
    }
    if (fd < 0) {
        // A directory nobody may write may still hold the file from before.
        fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0) {
        return;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        fd_ = fd;
        return;
    }
    const int fehler = errno;
    ::close(fd);
    if (fehler == EWOULDBLOCK) {
        throw MessageException(BelegtText(verzeichnis));
    }
}

DatenSperre::~DatenSperre() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string DatenSperre::BelegtText(const std::string& verzeichnis) {
    return "Das Datenverzeichnis »"_w + Anzeige(verzeichnis) +
           "« wird gerade von einem anderen Rebkontor-Programm benutzt (einem Rebkontor-Fenster "
           "oder »rebkontor-cli beispieldaten«). Es kann immer nur ein Programm zur Zeit mit "
           "diesen Daten arbeiten; bitte das andere zuerst beenden. Es wurde nichts verändert."_w;
}
